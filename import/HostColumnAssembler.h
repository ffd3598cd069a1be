#pragma once
// The composition assembly in the host: what the descriptor reader walks through becomes the
// scene composition, one layer per column (always added on top), one precomposition per folder
// down to the chosen depth, and finally the scene's batch scripts.
//
// Example: folder BG (columns c1, c2) followed by column c3, precomposed at "Folder": c1 is
// added, c2 lands on top of it, layers [1,2] become the composition BG, and c3 lands on top:
// the scene composition holds c3 above BG.
#include "import/ColumnAssembler.h"
#include "import/ImportOptions.h"
#include "import/vipLi.h"

class CreateSceneSource;
class SceneHost;

class HostColumnAssembler : public ColumnAssembler
{
public:
    HostColumnAssembler(const ImportOptions &options, const CreateSceneSource &createScene,
                        SceneHost &sceneHost);

    void createSceneComposition(const QString &compNameSource, const QString &sceneName, int nbIma,
                                int frameRate, int width, int height) override;
    void importColumn(const QString &filePath, bool isSequence, int frameRate,
                      const QString &folder, bool hasFolder) override;
    void precomposeLayers(int count, const QString &name) override;
    void runBatchScripts() override;

    // A column named only by its sequence name: dir/name0001.ext (sequence) or dir/name.ext,
    // "png" for an empty ext. Nothing is imported for an empty name.
    bool ImportColByName(const QString &dir, const QString &name, int type, const QString &ext,
                         int fps);
    // One column file as the top layer of the current composition: a PSD through the PSD
    // script (it becomes a composition layer), an AEP through the AEP script (its items join
    // the project, no layer), anything else as footage. True when a layer was made or a
    // script was run.
    bool ImportColFile(const QString &path, int type, int fps, const QString &folder);
    // Precomposes layers first .. first+count-1 of the current composition into `name`.
    void PrecomposeLayers(int first, int count, const QString &name);
    // Runs the scripts of the Create Scene list whose file name begins with "BATCH".
    void RunBatchScripts();

    // The file ImportColByName imports; empty for an empty name.
    static QString columnFileByName(const QString &dir, const QString &name, int type,
                                    const QString &ext);

private:
    const ImportOptions &m_options;
    const CreateSceneSource &m_createScene;
    SceneHost &m_sceneHost;
    // The project's footage and folders while the columns or elements come in one after the
    // other; it walks the project again after anything else changed it (a script, an import).
    FootageIndex m_footage;
};
