#pragma once
// Scene directory analysis: turns a scene folder of rendered images into columns (one per image
// sequence or fixed image), adds the matching table's files, works out the scene length and the
// composition size, writes the generated descriptor and imports it.
//
// Example: A0001.png .. A0024.png and BG.png in SC01 give the columns A (24 images, 1 to 24) and
// BG (a fixed image); the scene lasts 24 frames and SC01-QUILLMARK-GENERATED.xml is written.
// A scene folder that gives no image says why: "no file ... matched the file extensions
// [*.png,*.mov]; it holds *.tga (24)", or that it holds no file at all.
#include "import/ExpoCol.h"
#include "import/ImportOptions.h"

#include <QMap>
#include <QString>

class CreateSceneSource;
class ExpoDescriptor;
class FootageCopies;

class SceneAnalysis
{
public:
    SceneAnalysis(const ImportOptions &options, CreateSceneSource &createScene,
                  ExpoDescriptor &descriptor);

    // The whole analysis of one scene, ending in the descriptor reader on the generated file.
    void ImportSceneFromDir(const QString &sceneDir);

    // Appends or updates columns for every file below dir (depth first, names in case-sensitive
    // order, files and directories interleaved).
    void ScanSceneDir(const QString &dir, ExpoColList &cols, const QString &subdir);
    // Appends the matching table's files for the scene (position 1 or -1), when library files
    // are in use.
    void ExtractFromTable(const QString &sceneDir, ExpoColList &cols, int position);
    // The composition size from the first column image of that extension that can be read.
    bool ImaSize(const QString &sceneDir, const ExpoColList &cols, const QString &ext, int *width,
                 int *height) const;
    // The column report in the log console.
    static void LogCols(const ExpoColList &cols);

private:
    struct ScanState;
    // What the last ScanSceneDir met: files taken, and the files left out by extension.
    struct ScanReport
    {
        int filesMatched = 0;
        QMap<QString, int> skippedExtensions; // lower case, without the dot
    };

    static bool isRunOutput(const QString &name, const QString &dir, const QString &subdir);
    // A -WAR- line saying why the scan found nothing to import, when it did not.
    void explainEmptyScan(const QString &sceneDir, bool anyColumn) const;

    void scanDirectory(const QString &dir, const QString &subdir, ScanState &state);
    QString folderText(const QString &dir) const;
    QString copyToFootage(FootageCopies &copies, const QString &file) const;
    void compositionSize(const QString &sceneDir, const ExpoColList &cols, int *dx, int *dy) const;
    static int sceneLength(const ExpoColList &cols);

    const ImportOptions &m_options;
    CreateSceneSource &m_createScene;
    ExpoDescriptor &m_descriptor;
    ScanReport m_lastScan;
};
