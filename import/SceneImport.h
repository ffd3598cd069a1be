#pragma once
// The Import Scene command: each selected scene directory of the input root becomes a scene
// composition, built from its hand-written descriptor (when asked for and present) or from the
// directory analysis; in batch mode each scene gets a project of its own, saved in the scene
// directory.
//
// Example: root /prod/EP05 with SC01 and SC02 selected, batch mode on and no output name
// pattern: /prod/EP05/SC01/SC01.aep and /prod/EP05/SC02/SC02.aep are written, each holding
// the scene composition of its scene.
#include "import/ImportOptions.h"

#include <QString>
#include <QStringList>
#include <functional>

class CreateSceneSource;
class FootageCopies;
class ImportProgress;

// Runs `runScene` for each scene in order, showing "scene i of n" on `progress` (may be null)
// and asking between two scenes whether the user wants to stop; a scene is never left half
// built. Returns how many scenes ran: fewer than names.size() when the user stopped.
int runScenes(ImportProgress *progress, const QStringList &names,
              const std::function<void(int index)> &runScene);

class SceneImport
{
public:
    SceneImport(const ImportOptions &options, CreateSceneSource &createScene);

    // Shown while the run goes (not owned; may be null).
    void setProgress(ImportProgress *progress) { m_progress = progress; }
    // Saves the panel settings; run first by PrepareImport.
    void setSettingsSaver(std::function<void()> saver) { m_saveSettings = std::move(saver); }

    // Imports the scenes, in the given order; scenes are directory names inside root.
    void ImportScene(const QString &root, const QStringList &scenes);
    // Saves the settings, checks the template and, in batch mode, a modified project. False
    // when the run must not start.
    bool PrepareImport();
    // With "copy files to relative path" on: the file's copy in the scene's Footage folder
    // (made or refreshed, see FootageCopies); otherwise, or when no copy could be made (an
    // -ERR- line then), the file itself.
    QString CopyToFootage(const QString &file, FootageCopies &copies) const;

    // The scenes imported by the last ImportScene (a stopped run imports fewer).
    int scenesImported() const { return m_scenesImported; }

private:
    void importOneScene(const QString &root, const QString &scene);

    const ImportOptions &m_options;
    CreateSceneSource &m_createScene;
    ImportProgress *m_progress = nullptr;
    std::function<void()> m_saveSettings;
    int m_scenesImported = 0;
};
