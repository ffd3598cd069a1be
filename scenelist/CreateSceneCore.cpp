#include "scenelist/CreateSceneCore.h"

#include "scenelist/HarmonyJob.h"
#include "scenelist/LoadProgress.h"
#include "scenelist/SceneListExport.h"
#include "scenelist/SceneListReader.h"
#include "scenelist/SceneMatcher.h"
#include "scenelist/XlsxSheetReader.h"
#include "support/LogSink.h"
#include "support/Prompts.h"

namespace {

// A workbook sheet (efCsvSheetName: its name or 1-based number) as the rows of a CSV list.
bool readWorkbookSheet(const QString &path, const QString &sheet, QList<QStringList> *rows)
{
    XlsxSheet read = XlsxSheetReader::read(path, sheet);
    if (!read.ok) {
        appendLog(read.error);
        return false;
    }
    *rows = std::move(read.rows);
    return true;
}

} // namespace

CreateSceneCore::CreateSceneCore() : m_workbookReader(readWorkbookSheet) {}

void CreateSceneCore::setDialogParent(QWidget *parent)
{
    m_dialogParent = parent;
    m_query.setDialogParent(parent);
}

bool CreateSceneCore::collectLibraryFiles(const SceneListOptions &options, LoadProgress *progress)
{
    return m_library.collect(options.libraryFolders,
                             LibraryIndex::depthForRecursionIndex(options.libraryRecursion),
                             options.table.nameFilters(), options.production, progress);
}

bool CreateSceneCore::refreshLibraryFiles(const SceneListOptions &options)
{
    return m_library.refresh(options.libraryFolders,
                             LibraryIndex::depthForRecursionIndex(options.libraryRecursion),
                             options.table.nameFilters(), options.production);
}

SceneListLoad CreateSceneCore::load(const SceneListOptions &options, LoadProgress *progress)
{
    SceneListLoad result;
    if (progress) {
        progress->setLabelText(QStringLiteral("Please Wait"));
        progress->setRange(0, 0);
    }
    m_tree.clear();
    m_codes.loadConversionTable();
    // The folders that bridge files name are in the library before it is collected.
    SceneListOptions o = options;
    if (!o.isFromSPI() && o.target != TargetHarmony) {
        result.addedLibraryFolders =
            SceneListReader::bridgeFileFolders(o.sceneListPath, o.inputExtension, o.libraryFolders);
        o.libraryFolders << result.addedLibraryFolders;
    }
    if (!collectLibraryFiles(o, progress)) {
        result.outcome = SceneListLoad::Cancelled;
        return result;
    }
    SceneMatcher matcher(o, m_library, m_codes, m_query, m_tree);
    matcher.setDialogParent(m_dialogParent);
    SceneListReader reader(matcher);
    reader.setLibraryFolders(o.libraryFolders);
    result.outcome = readList(o, reader, progress);
    result.addedLibraryFolders << reader.addedLibraryFolders();
    m_tree.sortOnCid();
    return result;
}

SceneListLoad::Outcome CreateSceneCore::readList(const SceneListOptions &options,
                                                 SceneListReader &reader, LoadProgress *progress)
{
    bool read = true;
    if (!options.isFromSPI()) {
        if (options.target == TargetHarmony) {
            read = reader.LoadSceneNames(
                HarmonyJob(options.harmony, options.production).GetHarmonySceneList());
        } else {
            read = reader.LoadFromDirectory(options.sceneListPath, options.inputExtension);
        }
        return read ? SceneListLoad::Read : SceneListLoad::Failed;
    }

    const QString path = options.sceneListPath;
    if (path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)) {
        read = reader.ReadXmlSceneList(path);
    } else if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
        // The workbook's rows go through the same dispatch as a CSV's records.
        QList<QStringList> rows;
        if (m_workbookReader) {
            if (progress)
                progress->setLabelText(QStringLiteral("Try to Match Elements ... Please Wait"));
            read = m_workbookReader(path, options.csvSheetName, &rows) &&
                   reader.readRows(rows, progress);
        }
    } else if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        read = reader.ReadCsvSceneList(path, progress);
    } else {
        Prompts::current().warning(
            m_dialogParent, QStringLiteral("SceneList:Unsupported File Extension"), QString());
        return SceneListLoad::Unsupported;
    }
    return read ? SceneListLoad::Read : SceneListLoad::Failed;
}

QVector<TableFile> CreateSceneCore::GetFileToImportFromTable(const SceneListOptions &options,
                                                             const QString &sceneName, int mode)
{
    if (m_refreshBeforeLookUp && !options.table.rowsWithOrigin(OriginSceneName, true).isEmpty()) {
        refreshLibraryFiles(options);
        m_refreshBeforeLookUp = false;
    }
    SceneTree scratch; // the search adds nothing to a tree
    SceneMatcher matcher(options, m_library, m_codes, m_query, scratch);
    matcher.setDialogParent(m_dialogParent);
    return matcher.GetFileToImportFromTable(sceneName, mode);
}

QString CreateSceneCore::testAsset(const SceneListOptions &options, int tableRow,
                                   const QString &assetName)
{
    SceneTree scratch;
    return SceneMatcher(options, m_library, m_codes, m_query, scratch)
        .buildFileName(tableRow, assetName);
}

bool CreateSceneCore::exportShotLedger(const SceneListOptions &options)
{
    SceneListExport exporter(m_tree, options.table);
    exporter.setDialogParent(m_dialogParent);
    return exporter.exportShotLedger(options.destinationDir, options.productionName,
                                     options.production.episode);
}

bool CreateSceneCore::createMissingFilesLog(const SceneListOptions &options)
{
    SceneListExport exporter(m_tree, options.table);
    exporter.setDialogParent(m_dialogParent);
    return exporter.createMissingFilesLog(options.destinationDir);
}
