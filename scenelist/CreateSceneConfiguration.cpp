#include "scenelist/CreateSceneConfiguration.h"

#include "scenelist/LibraryIndex.h"

#include <QSettings>
#include <QtGlobal>

namespace {

const QString kGroup = QStringLiteral("CreateScene");

QString text(QSettings &settings, const QString &key, const QString &defaultValue = QString())
{
    return CreateSceneConfiguration::readKey(settings, key, defaultValue).toString();
}

bool flag(QSettings &settings, const QString &key, bool defaultValue)
{
    return CreateSceneConfiguration::readKey(settings, key, defaultValue).toBool();
}

// A combo box of `count` entries: an index it does not have gives the default.
int comboIndex(QSettings &settings, const QString &key, int count, int defaultValue = 0)
{
    const int index = CreateSceneConfiguration::readKey(settings, key, defaultValue).toInt();
    return index >= 0 && index < count ? index : defaultValue;
}

int spinValue(QSettings &settings, const QString &key, int minimum, int maximum, int defaultValue)
{
    return qBound(minimum, CreateSceneConfiguration::readKey(settings, key, defaultValue).toInt(),
                  maximum);
}

// A list as stored: one comma-separated text, every part an entry (empty ones too). A file
// edited by hand may hold it unquoted, which the settings library reads as a list of texts.
QStringList listEntries(QSettings &settings, const QString &key)
{
    const QVariant value = CreateSceneConfiguration::readKey(settings, key, QString());
    const QString joined = value.type() == QVariant::StringList
                               ? value.toStringList().join(QLatin1Char(','))
                               : value.toString();
    return joined.split(QLatin1Char(','));
}

// What a path field gives: nothing while it shows its "Select" hint, else the trimmed text with
// the placeholders expanded and "/" separators.
QString resolvedPath(const QString &raw, const ProductionValues *production)
{
    QString path = raw.trimmed();
    if (path.startsWith(QLatin1String("Select")))
        return QString();
    if (production)
        path = production->expand(path, QString());
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

ProductionValues readProduction(QSettings &settings)
{
    ProductionValues values;
    values.episode =
        QString::number(spinValue(settings, QStringLiteral("sbEpisodeNumber"), 0, 9999, 1));
    values.episodeName = text(settings, QStringLiteral("efEpisodeName"), QStringLiteral("No Name"));
    values.userVar1 = text(settings, QStringLiteral("efUserVar1"));
    values.userVar2 = text(settings, QStringLiteral("efUserVar2"));
    values.userVar3 = text(settings, QStringLiteral("efUserVar3"));
    values.job = text(settings, QStringLiteral("efTBJob"), QStringLiteral("SQ_TEST"));
    return values;
}

} // namespace

CreateSceneConfiguration CreateSceneConfiguration::read(QSettings &settings)
{
    CreateSceneConfiguration c;
    SceneListOptions &o = c.list;
    o.production = readProduction(settings);
    o.table = MatchingTable::fromText(text(settings, QStringLiteral("TableOptions")),
                                      text(settings, QStringLiteral("TableOptionsInactive")));
    o.sceneListType = comboIndex(settings, QStringLiteral("cbSceneListType"), 2);
    o.sceneListPath = resolvedPath(
        text(settings, QStringLiteral("SceneListFile"), QStringLiteral("Select SceneList")),
        &o.production);
    o.inputExtension = text(settings, QStringLiteral("efCreaInputExt"), QStringLiteral("mov"));
    o.target = comboIndex(settings, QStringLiteral("cbTarget"), 4);
    o.destinationDir = resolvedPath(text(settings, QStringLiteral("DestinationDir"),
                                         QStringLiteral("Select Destination Directory")),
                                    &o.production);
    o.libraryFolders = listEntries(settings, QStringLiteral("cb_sourceDir"));
    o.libraryRecursion = comboIndex(settings, QStringLiteral("cbLibraryFolderRecursion"), 4);
    o.csvStartLine = spinValue(settings, QStringLiteral("sbCsvStartLine"), 0, 999, 2);
    o.csvSeparator = comboIndex(settings, QStringLiteral("cbCsvSeparator"), 2) == 1
                         ? QStringLiteral(",")
                         : QStringLiteral(";");
    o.csvSheetName = text(settings, QStringLiteral("efCsvSheetName"), QStringLiteral("1"));
    o.splitCellOnSpace = flag(settings, QStringLiteral("ckCsvSplitCellOnSpace"), false);
    o.skipComments = flag(settings, QStringLiteral("ckCsvSkipComments"), true);
    o.fishModeCancel = flag(settings, QStringLiteral("ckFishModeCancel"), false);
    o.productionName =
        text(settings, QStringLiteral("efProductionName"), QStringLiteral("No Name"));
    o.harmony.onlineMode = flag(settings, QStringLiteral("ckTBOnlineMode"), false);
    o.harmony.server = text(settings, QStringLiteral("efTBServer"), QStringLiteral("server_tb"));
    o.harmony.scenePath =
        text(settings, QStringLiteral("efTBScenePath"), QStringLiteral("server_tb"));

    c.useLibraryFiles = flag(settings, QStringLiteral("ckUseFilesInLibrary"), false);
    c.moveFilesToRelativePath =
        flag(settings, QStringLiteral("ckImpMoveFilesToRelativePath"), false);
    c.useTemplate = flag(settings, QStringLiteral("ckUseTemplateFile"), false);
    c.templatePath = resolvedPath(text(settings, QStringLiteral("FlashTemplateFile"),
                                       QStringLiteral("Select Flash Template")),
                                  &o.production);
    for (const QString &entry : listEntries(settings, QStringLiteral("listScript"))) {
        const QString script = entry.simplified();
        if (!script.isEmpty())
            c.scripts << script;
    }
    // This field has no placeholders: only the hint is dropped.
    c.codeConversionFile =
        resolvedPath(text(settings, QStringLiteral("pbCodeConversionFile")), nullptr);
    return c;
}

int CreateSceneConfiguration::libraryDepth() const
{
    return LibraryIndex::depthForRecursionIndex(list.libraryRecursion);
}

QVariant CreateSceneConfiguration::readKey(QSettings &settings, const QString &key,
                                           const QVariant &defaultValue)
{
    settings.beginGroup(kGroup);
    const bool inGroup = settings.contains(key);
    const QVariant value = inGroup ? settings.value(key) : QVariant();
    settings.endGroup();
    return inGroup ? value : settings.value(key, defaultValue);
}
