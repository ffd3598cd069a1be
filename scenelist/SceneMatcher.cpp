#include "scenelist/SceneMatcher.h"

#include "import/ImageProbe.h"
#include "scenelist/AssetQuery.h"
#include "scenelist/AssetType.h"
#include "scenelist/CodeConversionTable.h"
#include "scenelist/HarmonyJob.h"
#include "scenelist/LibraryIndex.h"
#include "scenelist/LoadProgress.h"
#include "support/LogSink.h"
#include "support/Prompts.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

constexpr int kMaxImageSide = 8000;
const QChar kCropSeparator(QLatin1Char(':'));

QString cutByCrop(const MatchingTable &table, int row, const QString &value)
{
    return cutName(value, table.crop(row), kCropSeparator);
}

} // namespace

SceneMatcher::SceneMatcher(const SceneListOptions &options, LibraryIndex &library,
                           CodeConversionTable &codes, AssetQuery &query, SceneTree &tree)
    : m_options(options), m_library(library), m_codes(codes), m_query(query), m_tree(tree),
      m_rows(options.table.rowCount())
{}

SceneMatcher::RowInfo &SceneMatcher::rowInfo(int tableRow) const
{
    // A row outside the table reads as an empty one, as the table answers for it; not kept.
    const bool inside = tableRow >= 0 && tableRow < m_rows.size();
    RowInfo &row = inside ? m_rows[tableRow] : m_outsideRow;
    if (row.ready && inside)
        return row;
    row = RowInfo();
    const int type = table().type(tableRow);
    row.info = SceneTreeRow(
        {QString(), assetTypeTreeName(type),
         table().isFolderMode(tableRow) ? QStringLiteral("Folder") : QStringLiteral("File"),
         QString(), QString(), table().layerName(tableRow), table().layerDir(tableRow),
         QString::number(tableRow), QString::number(type), QStringLiteral("0")});
    row.crop = table().crop(tableRow);
    row.fileNameTemplate = table().fileNameTemplate(tableRow);
    row.firstExtension = table().firstExtension(tableRow);
    row.ready = true;
    return row;
}

QString SceneMatcher::sceneNameFor(int tableRow, const QString &value) const
{
    const QString templ = table().fileNameTemplate(tableRow);
    if (tableRow < 0 || !m_options.isFromSPI() || templ.isEmpty())
        return value;
    return m_options.production.expand(templ, cutByCrop(table(), tableRow, value));
}

void SceneMatcher::addSceneItem(int tableRow, const QString &value, bool ok,
                                const QString &statusText)
{
    SceneTreeScene scene({sceneNameFor(tableRow, value),
                          expandPlaceholder(QStringLiteral("%03a"), QLatin1Char('a'), value),
                          statusText});
    if (!ok) {
        scene.setRed(SceneTreeColumn::Element);
        scene.setRed(SceneTreeColumn::Mode);
    }
    m_tree.appendScene(scene);
}

QStringList SceneMatcher::assetNames(const QString &cellText) const
{
    QString text = cellText;
    if (m_options.skipComments) {
        static const QRegularExpression comment(QStringLiteral("\\(.*\\)"),
                                                QRegularExpression::InvertedGreedinessOption |
                                                    QRegularExpression::DotMatchesEverythingOption);
        text.remove(comment);
    }
    QStringList parts = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (m_options.splitCellOnSpace) {
        QStringList words;
        for (const QString &part : qAsConst(parts))
            words << part.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        parts = words;
    }
    QStringList names;
    for (const QString &part : qAsConst(parts)) {
        const QString name = part.simplified();
        if (!name.isEmpty() && name != QLatin1String("_"))
            names << name;
    }
    return names;
}

SceneTreeRow SceneMatcher::informationElement(int tableRow, const QString &name) const
{
    SceneTreeRow element = rowInfo(tableRow).info;
    element.setCell(SceneTreeColumn::Element, name);
    return element;
}

bool SceneMatcher::addTreeElm(int tableRow, const QString &cellText)
{
    SceneTreeScene *scene = m_tree.lastScene();
    if (!scene) {
        Prompts::current().warning(
            m_dialogParent, QStringLiteral("addTreeElm"),
            QStringLiteral("Error in Scene List File\n=> No First Scene\n- Check the Scene Type "
                           "Col on the Name Matching Table\n- Check the Scenelist Options for "
                           "Starting Line Number"));
        return false;
    }
    const int type = table().type(tableRow);
    const QStringList names = assetNames(cellText);
    for (const QString &name : names) {
        if (isSearchedOnDisk(type))
            addSearchedElements(tableRow, name, *scene);
        else if (type == TypeCode)
            addCodeElement(tableRow, name, *scene);
        else
            scene->elements << informationElement(tableRow, name);
    }
    return true;
}

void SceneMatcher::addSearchedElements(int tableRow, const QString &name, SceneTreeScene &scene)
{
    const bool shotgun =
        optionText(tableRow, QStringLiteral("fishMode")) == QLatin1String("shotgun") &&
        !m_options.fishModeCancel;
    const QString fishParam = optionText(tableRow, QStringLiteral("fishParam"));
    const QString wanted = buildFileName(tableRow, name);
    const bool folderMode = table().isFolderMode(tableRow);
    QStringList found;
    const bool ok = folderMode ? findFolders(wanted, &found, shotgun, fishParam)
                               : findFiles(wanted, &found, shotgun, fishParam);

    SceneTreeRow info = informationElement(tableRow, name);
    info.setCell(SceneTreeColumn::FileName, wanted);
    if (!ok) {
        info.setRed(SceneTreeColumn::Element);
        info.setRed(SceneTreeColumn::FileName);
        scene.elements << info;
        if (folderMode)
            scene.setRed(SceneTreeColumn::Element);
        return;
    }
    // A query may answer "None": a success without any element.
    for (const QString &path : qAsConst(found)) {
        if (folderMode)
            addFolderElements(tableRow, info, path, scene);
        else
            addFileElement(info, path, scene);
    }
}

void SceneMatcher::addFileElement(const SceneTreeRow &info, const QString &path,
                                  SceneTreeScene &scene)
{
    SceneTreeRow element = info;
    element.setCell(SceneTreeColumn::FullPath, QDir::fromNativeSeparators(path));
    element.setCell(SceneTreeColumn::Fok, QStringLiteral("1"));
    if (info.cell(SceneTreeColumn::Tid).toInt() == TypeDocSize) {
        int width = 0;
        int height = 0;
        if (!ImageSize(path, &width, &height)) {
            element.setCell(SceneTreeColumn::Element, QStringLiteral("Error Read Size"));
            element.setCell(SceneTreeColumn::Fok, QStringLiteral("0"));
            scene.setRed(SceneTreeColumn::Element);
        } else {
            element.setCell(
                SceneTreeColumn::Element,
                QStringLiteral("%1x%2").arg(QString::number(width), QString::number(height)));
            if (width > kMaxImageSide || height > kMaxImageSide) {
                element.setRed(SceneTreeColumn::Element);
                element.setRed(SceneTreeColumn::FileName);
                element.setCell(SceneTreeColumn::Fok, QStringLiteral("0"));
                scene.setRed(SceneTreeColumn::Element);
            }
        }
    }
    scene.elements << element;
}

void SceneMatcher::addFolderElements(int tableRow, const SceneTreeRow &info, const QString &folder,
                                     SceneTreeScene &scene)
{
    if (fileExtension(folder) == QLatin1String("tpl")) {
        SceneTreeRow element = info;
        element.setCell(SceneTreeColumn::FullPath, folder);
        element.setCell(SceneTreeColumn::Fok, QStringLiteral("1"));
        scene.elements << element;
        return;
    }
    const QString base = QDir(folder).absolutePath() + QLatin1Char('/');
    const QStringList entries = folderFiles(tableRow, folder);
    for (const QString &entry : entries) {
        SceneTreeRow element = info;
        element.setCell(SceneTreeColumn::FileName, entry);
        element.setCell(SceneTreeColumn::FullPath, base + entry);
        element.setCell(SceneTreeColumn::Fok, QStringLiteral("1"));
        scene.elements << element;
    }
}

// The folder's files that match the row's extensions and no pattern of its exclude list, in
// name order (the order a Windows folder lists in, on every file system).
QStringList SceneMatcher::folderFiles(int tableRow, const QString &folder) const
{
    const QStringList exclude = optionText(tableRow, QStringLiteral("excludeList"))
                                    .split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QStringList entries =
        QDir(folder).entryList(table().extensions(tableRow, MatchingTable::Filter), QDir::Files,
                               QDir::Name | QDir::IgnoreCase);
    QStringList kept;
    for (const QString &entry : entries) {
        if (!matchesAny(exclude, entry))
            kept << entry;
    }
    return kept;
}

void SceneMatcher::addCodeElement(int tableRow, const QString &name, SceneTreeScene &scene)
{
    SceneTreeRow element = informationElement(tableRow, name);
    element.setCell(SceneTreeColumn::FileName, m_codes.conversionFileName(name));
    element.setCell(SceneTreeColumn::LayerName, m_codes.conversionLayerName(name));
    element.setCell(SceneTreeColumn::LayerDir, m_codes.conversionLayerDir(name));
    element.setCell(SceneTreeColumn::ConversionType, m_codes.conversionType(name));
    QStringList found;
    const bool ok = m_library.findFiles(element.cell(SceneTreeColumn::FileName), &found) &&
                    QFileInfo::exists(found.first());
    const int columns[] = {SceneTreeColumn::Element, SceneTreeColumn::FileName,
                           SceneTreeColumn::FullPath};
    if (ok) {
        element.setCell(SceneTreeColumn::Fok, QStringLiteral("1"));
        element.setCell(SceneTreeColumn::FullPath, QDir::fromNativeSeparators(found.first()));
    } else {
        for (int column : columns)
            element.setRed(column);
        scene.setRed(SceneTreeColumn::Element);
    }
    scene.elements << element;
}

QString SceneMatcher::buildFileName(int tableRow, const QString &assetName) const
{
    if (!isSearchedOnDisk(table().type(tableRow)))
        return QString();
    const RowInfo &row = rowInfo(tableRow);
    const QString cut = cutName(assetName, row.crop, kCropSeparator);
    QString name = row.fileNameTemplate.isEmpty()
                       ? cut
                       : m_options.production.expand(row.fileNameTemplate, cut);
    if (!table().isFolderMode(tableRow))
        name += row.firstExtension;
    return name;
}

QJsonValue SceneMatcher::optionValue(int tableRow, const QString &key) const
{
    RowInfo &row = rowInfo(tableRow);
    if (!row.optionsParsed) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(
            (QLatin1Char('{') + table().options(tableRow) + QLatin1Char('}')).toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            row.optionsError = error.errorString();
        else
            row.options = document.object(); // empty when not an object
        row.optionsParsed = true;
    }
    if (!row.optionsError.isNull()) {
        appendLog(QStringLiteral("-ERR- Json Error: [%1] => [%2]")
                      .arg(row.optionsError, table().options(tableRow)));
        return QJsonValue();
    }
    const QJsonValue value = row.options.value(key);
    return value.isUndefined() ? QJsonValue() : value;
}

QString SceneMatcher::optionText(int tableRow, const QString &key) const
{
    return optionValue(tableRow, key).toString();
}

bool SceneMatcher::sceneStatus(const QString &sceneName, QString *statusText) const
{
    switch (m_options.target) {
    case TargetHarmony: {
        static const char *const texts[] = {"No Scene !", "No Stage !", ""};
        const int check =
            HarmonyJob(m_options.harmony, m_options.production).harmonySceneCheck(sceneName);
        *statusText = QLatin1String(texts[qBound(0, check, 2)]);
        return check == 2;
    }
    case TargetFlash: {
        const bool exists =
            QFileInfo::exists(QStringLiteral("%1/%2.fla").arg(m_options.destinationDir, sceneName));
        *statusText = exists ? QStringLiteral("File Exist") : QStringLiteral("No Scene");
        return exists;
    }
    default:
        statusText->clear();
        return true;
    }
}

bool SceneMatcher::dispatchRows(const QList<QStringList> &rows, int startRow,
                                LoadProgress *progress)
{
    const QList<int> sceneNameRows = table().rowsWithOrigin(OriginSceneName, true);
    bool ok = true;
    for (int r = qMax(0, startRow); ok && r < rows.size(); ++r) {
        if (progress) {
            progress->setValue(r);
            progress->processEvents();
            if (progress->wasCanceled())
                break;
        }
        const QStringList &cells = rows.at(r);
        for (int c = 0; ok && c < cells.size(); ++c) {
            const QString &cell = cells.at(c);
            if (cell.isEmpty())
                continue;
            const QList<int> tableRows = table().rowsForColumn(c + 1);
            for (int tableRow : tableRows) {
                if (table().type(tableRow) != TypeScene) {
                    ok = addTreeElm(tableRow, cell);
                    if (!ok)
                        break;
                    continue;
                }
                QString status;
                const bool sceneOk = sceneStatus(sceneNameFor(tableRow, cell), &status);
                addSceneItem(tableRow, cell, sceneOk, status);
                for (int nameRow : sceneNameRows) {
                    ok = addTreeElm(nameRow, cell);
                    if (!ok)
                        break;
                }
                if (!ok)
                    break;
            }
        }
    }
    resolveDuplicateAssets();
    return ok;
}

void SceneMatcher::resolveDuplicateAssets()
{
    const QString found = QStringLiteral("1");
    const QString dropped = QStringLiteral("X");
    for (SceneTreeScene &scene : m_tree.scenes()) {
        QVector<SceneTreeRow> &elements = scene.elements;
        // Only Asset elements of the same name meet, so compare within those groups.
        QHash<QString, QVector<int>> groups;
        for (int i = 0; i < elements.size(); ++i) {
            if (elements.at(i).cell(SceneTreeColumn::Tid) == QLatin1String("6"))
                groups[elements.at(i).cell(SceneTreeColumn::Element)] << i;
        }
        for (const QVector<int> &group : qAsConst(groups)) {
            for (int a = 0; a < group.size(); ++a) {
                for (int b = a + 1; b < group.size(); ++b) {
                    SceneTreeRow &first = elements[group.at(a)];
                    SceneTreeRow &second = elements[group.at(b)];
                    const bool firstFound = first.cell(SceneTreeColumn::Fok) == found;
                    const bool secondFound = second.cell(SceneTreeColumn::Fok) == found;
                    if (firstFound != secondFound)
                        (firstFound ? second : first).setCell(SceneTreeColumn::Fok, dropped);
                }
            }
        }
        bool missing = false;
        for (int i = elements.size() - 1; i >= 0; --i) {
            if (elements.at(i).cell(SceneTreeColumn::Fok) == dropped)
                elements.remove(i);
            else
                missing =
                    missing || elements.at(i).cell(SceneTreeColumn::Fok) == QLatin1String("0");
        }
        scene.setRed(SceneTreeColumn::Element, missing);
    }
}

QVector<TableFile> SceneMatcher::GetFileToImportFromTable(const QString &sceneName, int mode)
{
    appendLog(QStringLiteral("-INF- GetFileToImportFromTable - Scene= %1  Mode=%2")
                  .arg(sceneName, QString::number(mode)));
    QVector<TableFile> files;
    const QList<int> rows = table().rowsWithOrigin(OriginSceneName, true);
    for (int row : rows) {
        if (mode != 0 && (table().layerPosition(row) == PositionTop) != (mode == 1))
            continue;
        const QString layerFolder = m_options.production.expand(table().layerDir(row), sceneName);
        const QString wanted = buildFileName(row, sceneName);
        QStringList found;
        if (table().isFolderMode(row)) {
            findFolders(wanted, &found, false, QString());
            for (const QString &folder : qAsConst(found)) {
                const QString base = QDir(folder).absolutePath() + QLatin1Char('/');
                const QStringList entries = folderFiles(row, folder);
                for (const QString &entry : entries) {
                    appendLog(QStringLiteral("Found File: %1 %2").arg(base + entry, layerFolder));
                    files << TableFile(base + entry, layerFolder);
                }
            }
        } else if (findFiles(wanted, &found, false, QString()) &&
                   QFileInfo::exists(found.first())) {
            for (const QString &path : qAsConst(found))
                files << TableFile(path, layerFolder);
        }
    }
    return files;
}

bool SceneMatcher::findFiles(const QString &name, QStringList *results, bool shotgun,
                             const QString &fishParam)
{
    return shotgun ? m_query.shotgunQuery(name, results, fishParam)
                   : m_library.findFiles(name, results);
}

bool SceneMatcher::findFolders(const QString &name, QStringList *results, bool shotgun,
                               const QString &fishParam)
{
    return shotgun ? m_query.shotgunQuery(name, results, fishParam)
                   : m_library.findFolders(name, results);
}
