#pragma once
// Everything the Create Scene tab does without widgets, behind one object the tab owns: the
// library index, the code conversion and posing tables, the asset query and the scene tree,
// plus the operations the tab's buttons and the import engine call. Each operation takes a
// fresh snapshot of the panel's values (SceneListOptions).
//
// Load ("Load Scene List"): busy progress "Please Wait"; clear the tree; reload the code
// table; for a folder of bridge files, add the folders they name to the library; collect the
// library (a cancel there reads nothing); then by list type and by the
// list file's ending, ignoring case: ".xml" the XML spreadsheet, ".xlsx" the workbook reader
// (see setWorkbookReader), ".csv" the CSV reader, anything else the warning box
// "SceneList:Unsupported File Extension"; a directory list reads the Harmony job (target
// "ToonBoom Harmony") or one scene per file; finally the elements are sorted on Cid.
//
// Example (the tab's side):
//     CreateSceneCore m_core;                        // a member of CreateSceneWidget
//     m_core.setDialogParent(this);
//     m_core.assetQuery().setScriptFolder(configurationFolder);
//     m_core.codeTable().setPath(pbCodeConversionFile->resolvedPath());  // OnPbCodeConversionFile
//
//     void CreateSceneWidget::OnLoadSceneList() {
//         DialogProgress progress(this);              // a LoadProgress over QProgressDialog
//         const SceneListLoad result = m_core.load(snapshot(), &progress);
//         appendItems(lwLibDir, result.addedLibraryFolders);
//         fillTreeWidget(treeWidget, m_core.tree()); // see SceneTree.h
//     }
//     QVector<TableFile> GetFileToImportFromTable(const QString &scene, int mode) override {
//         return m_core.GetFileToImportFromTable(snapshot(), scene, mode);
//     }
// Before an export the tab copies the selection of its tree widget into the tree
// (m_core.tree().scenes()[i].selected), then calls exportShotLedger or createMissingFilesLog.
#include "import/CreateSceneSource.h"
#include "scenelist/AssetQuery.h"
#include "scenelist/CodeConversionTable.h"
#include "scenelist/LibraryIndex.h"
#include "scenelist/SceneListOptions.h"
#include "scenelist/SceneTree.h"

#include <functional>

class LoadProgress;
class QWidget;
class SceneListReader;

// What a load did.
struct SceneListLoad
{
    enum Outcome {
        Read,        // the list was read (possibly partly: a cancel or a stop keeps what was built)
        Cancelled,   // cancelled during the library collection: nothing was read
        Unsupported, // the list file's ending is none of .xml, .xlsx, .csv
        Failed,      // the reader could not read the list (its log line says why)
    };
    Outcome outcome = Read;
    QStringList addedLibraryFolders; // bridge-file folders new to the library list
};

// Reads a workbook sheet (efCsvSheetName: a 1-based number or a sheet name) as rows of cells,
// as splitRecords gives a CSV's records. False when nothing can be read (the reader writes its
// own -ERR- line).
using WorkbookReader =
    std::function<bool(const QString &path, const QString &sheet, QList<QStringList> *rows)>;

class CreateSceneCore
{
public:
    CreateSceneCore();

    void setDialogParent(QWidget *parent);
    // The .xlsx seam: XlsxSheetReader unless replaced; without a reader a workbook list reads
    // nothing.
    void setWorkbookReader(WorkbookReader reader) { m_workbookReader = std::move(reader); }

    LibraryIndex &library() { return m_library; }
    CodeConversionTable &codeTable() { return m_codes; }
    CodeConversionTable &posingTable() { return m_posing; }
    AssetQuery &assetQuery() { return m_query; }
    SceneTree &tree() { return m_tree; }
    const SceneTree &tree() const { return m_tree; }

    // "Load Scene List".
    SceneListLoad load(const SceneListOptions &options, LoadProgress *progress);
    // Rebuilds the library index (the load does it first).
    bool collectLibraryFiles(const SceneListOptions &options, LoadProgress *progress);
    // Brings the index up to date, reading again only the folders that changed; the same index
    // as collectLibraryFiles.
    bool refreshLibraryFiles(const SceneListOptions &options);
    // The import engine, before each scene: the index is brought up to date at the scene's
    // first look-up in the library (refreshLibraryFiles), so a table that asks the library
    // nothing costs no folder read, and a look-up sees the disk as it is then.
    void refreshLibraryBeforeNextLookUp() { m_refreshBeforeLookUp = true; }
    // The table's files for a scene, from the current index (positions 1, -1, or 0 for all).
    QVector<TableFile> GetFileToImportFromTable(const SceneListOptions &options,
                                                const QString &sceneName, int mode);
    // "Test": the file name a table row builds for an asset name.
    QString testAsset(const SceneListOptions &options, int tableRow, const QString &assetName);
    // "SLG Export" and "Create Error Log" over the tree (selection as set by the tab).
    bool exportShotLedger(const SceneListOptions &options);
    bool createMissingFilesLog(const SceneListOptions &options);

private:
    SceneListLoad::Outcome readList(const SceneListOptions &options, SceneListReader &reader,
                                    LoadProgress *progress);

    LibraryIndex m_library;
    bool m_refreshBeforeLookUp = false;
    CodeConversionTable m_codes;
    CodeConversionTable m_posing;
    AssetQuery m_query;
    SceneTree m_tree;
    WorkbookReader m_workbookReader;
    QWidget *m_dialogParent = nullptr; // not owned
};
