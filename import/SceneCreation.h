#pragma once
// The Create Scene command in the host: each scene selected in the Create Scene tree becomes a
// project of its own below the output directory, holding the scene composition and the
// elements the matching table found for it; the project is saved as an .aep file.
//
// Example: output directory /prod/out and the selected scene SC010 with a found Movie
// /lib/SC010.mov and a found Asset /lib/chars/bob.png in layer folder CHARS give
// /prod/out/SC010/SC010.aep, whose composition SC010 lasts as long as the movie and holds bob
// (its footage in the project folder CHARS) above the movie (in the folder ELEMENTS).
// Elements that were not found, or whose file is gone or cannot be imported, are left out with
// a -WAR- or -ERR- line naming the scene, and the scene's closing line counts them; a scene
// whose name cannot be a folder name is not created at all.
// With the target "Collect Files in a Folder and Zip it" every file the scene uses is copied
// into its Footage folder first (the project refers to the copies), and the scene folder is
// then written to SC010.zip beside it, with a MISSING.txt listing what was not found.
#include "host/aegp.h"
#include "import/ImportOptions.h"

#include <QString>

class CreateSceneSource;
class FootageCopies;
class ImportProgress;
class HostColumnAssembler;
class SceneImport;
struct SceneToCreate;

class SceneCreation
{
public:
    // `preparation` gives the checks and the file copies shared with the import; not owned.
    SceneCreation(const ImportOptions &options, CreateSceneSource &createScene,
                  SceneImport &preparation);

    // Shown while the run goes (not owned; may be null).
    void setProgress(ImportProgress *progress) { m_progress = progress; }

    void CreateScene();

    // The projects saved by the last CreateScene.
    int scenesCreated() const { return m_scenesCreated; }

private:
    void createOneScene(const QString &destination, const SceneToCreate &scene);
    // The scene movie's duration for a list of movie files; one second otherwise.
    A_Time sceneDuration(const QString &scene, FootageCopies &copies) const;
    // The file an element is imported from: its copy in the scene folder, or the file itself.
    QString fileToImport(int type, const QString &file, FootageCopies &copies) const;
    // Builds one element found at `found` into the scene; false (after an -ERR- line) when it
    // is left out.
    bool addElement(const QString &scene, int type, const QString &found, const QString &layerDir,
                    FootageCopies &copies, HostColumnAssembler &assembler);
    // Writes the collected scene folder to <scene>.zip beside it; the closing line's end.
    QString collectScene(const QString &scene, const QString &sceneDir, const QString &missing,
                         const FootageCopies &copies) const;

    const ImportOptions &m_options;
    CreateSceneSource &m_createScene;
    SceneImport &m_preparation;
    ImportProgress *m_progress = nullptr;
    int m_scenesCreated = 0;
    bool m_collect = false; // the target "Collect Files in a Folder and Zip it"
};
