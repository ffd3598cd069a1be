#include "scenelist/SceneListReader.h"

#include "scenelist/AssetType.h"
#include "scenelist/LoadProgress.h"
#include "scenelist/SceneMatcher.h"
#include "support/LogSink.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Deeper documents would overflow the stack of the DOM builder; no scene list nests so deep.
constexpr int kMaxNesting = 512;
constexpr int kSpreadsheetColumns = 9;

struct ParseFailure
{
    int line = 0;
    int column = 0;
    QString message;
};

bool nestsTooDeep(const QByteArray &data, ParseFailure *failure)
{
    QXmlStreamReader xml(data);
    int depth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxNesting) {
            *failure = {int(xml.lineNumber()), int(xml.columnNumber()),
                        QStringLiteral("elements nested more than %1 deep").arg(kMaxNesting)};
            return true;
        }
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return false;
}

// Parses with namespace processing. The stream reader refuses external entities and bounds
// entity expansion, so a hostile list cannot read other files or exhaust memory.
bool parseXml(const QByteArray &data, QDomDocument *doc, ParseFailure *failure)
{
    if (nestsTooDeep(data, failure))
        return false;
    QXmlStreamReader xml(data);
    return doc->setContent(&xml, true, &failure->message, &failure->line, &failure->column);
}

// Spreadsheet programs leave empty rows and cells out and give the next one its 1-based
// position (ss:Index); a merged cell covers ss:MergeAcross more columns. No sheet goes beyond
// these positions.
const QString kSpreadsheetNamespace =
    QStringLiteral("urn:schemas-microsoft-com:office:spreadsheet");
constexpr int kMaxSpreadsheetRow = 1048576;
constexpr int kMaxSpreadsheetColumn = 16384;
constexpr int kSpreadsheetHeaderRows = 4;

// The position of a row or cell: after `previous` by default, or its ss:Index, which must lie
// after `previous` and not beyond `last`. False, with the reason, for any other index.
bool spreadsheetPosition(const QDomElement &element, int previous, int last, int *position,
                         QString *error)
{
    const QString text = element.attributeNS(kSpreadsheetNamespace, QStringLiteral("Index"));
    if (text.isNull()) {
        *position = previous + 1;
    } else {
        bool ok = false;
        *position = text.trimmed().toInt(&ok);
        if (!ok || *position <= previous || *position > last) {
            *error = QStringLiteral("%1 ss:Index [%2] at line %3 is not a position after %4 "
                                    "(at most %5)")
                         .arg(element.tagName(), text, QString::number(element.lineNumber()),
                              QString::number(previous), QString::number(last));
            return false;
        }
    }
    if (*position > last) {
        *error = QStringLiteral("%1 at line %2 lies beyond position %3")
                     .arg(element.tagName(), QString::number(element.lineNumber()),
                          QString::number(last));
        return false;
    }
    return true;
}

// The texts of the first nine columns of one row; false when a cell's position is invalid.
bool spreadsheetRowTexts(const QDomElement &row, QStringList *texts, QString *error)
{
    *texts = QStringList();
    for (int i = 0; i < kSpreadsheetColumns; ++i)
        *texts << QString();
    int column = 0;
    for (QDomElement cell = row.firstChildElement(QStringLiteral("Cell")); !cell.isNull();
         cell = cell.nextSiblingElement(QStringLiteral("Cell"))) {
        if (!spreadsheetPosition(cell, column, kMaxSpreadsheetColumn, &column, error))
            return false;
        if (column <= kSpreadsheetColumns)
            (*texts)[column - 1] = cell.firstChildElement(QStringLiteral("Data")).text();
        const QString merge =
            cell.attributeNS(kSpreadsheetNamespace, QStringLiteral("MergeAcross"));
        if (!merge.isNull()) {
            bool ok = false;
            const int across = merge.trimmed().toInt(&ok);
            if (!ok || across < 0 || across > kMaxSpreadsheetColumn - column) {
                *error = QStringLiteral("Cell ss:MergeAcross [%1] at line %2 is not a number of "
                                        "columns within the sheet")
                             .arg(merge, QString::number(cell.lineNumber()));
                return false;
            }
            column += across;
        }
    }
    return true;
}

// The data rows of a sheet: from the fifth row on, up to the first empty row (a row left out
// is an empty row). False when the sheet has fewer rows, or, with `error` set, when a
// position is invalid; nothing is read then.
bool spreadsheetDataRows(const QDomElement &table, QList<QStringList> *rows, QString *error)
{
    const auto isEmpty = [](const QString &text) { return text.isEmpty(); };
    QDomElement row = table.firstChildElement(QStringLiteral("Row"));
    int number = 0;
    bool dataReached = false;
    for (; !row.isNull(); row = row.nextSiblingElement(QStringLiteral("Row"))) {
        const int previous = number;
        if (!spreadsheetPosition(row, previous, kMaxSpreadsheetRow, &number, error))
            return false;
        if (number <= kSpreadsheetHeaderRows)
            continue;
        dataReached = true;
        if (number > std::max(previous + 1, kSpreadsheetHeaderRows + 1))
            return true; // rows left out before this one: an empty row ends the sheet
        QStringList texts;
        if (!spreadsheetRowTexts(row, &texts, error))
            return false;
        if (std::all_of(texts.cbegin(), texts.cend(), isEmpty))
            return true;
        rows->append(texts);
    }
    return dataReached || number >= kSpreadsheetHeaderRows;
}

// The file addresses of a bridge file, percent-decoded, in order.
bool bridgeFileAddresses(const QByteArray &bytes, QStringList *uris, ParseFailure *failure)
{
    // The repairs work on the bytes one for one (Latin-1 maps each byte to one character), so
    // the file's own encoding reaches the parser untouched.
    static const QRegularExpression openFile(QStringLiteral("(<file [^<]*')>"));
    QString text = QString::fromLatin1(bytes);
    text.replace(openFile, QStringLiteral("\\1/>"));
    text.replace(QLatin1String("|:"), QLatin1String("%27"));

    QDomDocument doc;
    if (!parseXml(text.toLatin1(), &doc, failure))
        return false;
    for (QDomElement file = doc.documentElement().firstChildElement(QStringLiteral("file"));
         !file.isNull(); file = file.nextSiblingElement(QStringLiteral("file"))) {
        *uris << QString::fromUtf8(
            QByteArray::fromPercentEncoding(file.attribute(QStringLiteral("uri")).toUtf8()));
    }
    return true;
}

QString bridgeFileFolder(const QString &uri)
{
    static const QRegularExpression scheme(QStringLiteral("^.*file://"));
    return fileDirectory(uri).remove(scheme);
}

bool isBridgeFileExtension(const QString &extension)
{
    return extension.toLower() == QLatin1String("filelist");
}

QFileInfoList filesWithExtension(const QString &directory, const QString &extension)
{
    return QDir(directory).entryInfoList({QStringLiteral("*.") + extension}, QDir::Files,
                                         QDir::Name);
}

int typeOfBridgeFile(const QString &name)
{
    const QString ext = fileExtension(name);
    if (ext == QLatin1String("mov") || ext == QLatin1String("flv"))
        return TypeMovie;
    if (ext == QLatin1String("mp3") || ext == QLatin1String("wav"))
        return TypeSound;
    if (ext == QLatin1String("fla"))
        return TypeAsset;
    if (ext == QLatin1String("png") || ext == QLatin1String("jpg") || ext == QLatin1String("psd"))
        return TypeIma;
    return TypeNone;
}

} // namespace

SceneListReader::SceneListReader(SceneMatcher &matcher) : m_matcher(matcher) {}

QString SceneListReader::decodeText(const QByteArray &bytes, bool *fallback)
{
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    *fallback = state.invalidChars > 0 || state.remainingChars > 0;
    if (!*fallback)
        return text;
    const QTextCodec *windows = QTextCodec::codecForName("Windows-1252");
    return windows ? windows->toUnicode(bytes) : QString::fromLatin1(bytes);
}

bool SceneListReader::ReadCsvSceneList(const QString &path, LoadProgress *progress)
{
    if (progress)
        progress->setLabelText(QStringLiteral("Try to Match Elements ... Please Wait"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return readCsvBytes(file.readAll(), progress, path);
}

bool SceneListReader::readCsvBytes(const QByteArray &bytes, LoadProgress *progress,
                                   const QString &source)
{
    bool fallback = false;
    const QString text = decodeText(bytes, &fallback);
    if (fallback) {
        appendLog(QStringLiteral("-WAR- ReadCsvSceneList : [%1] is not UTF-8, read as "
                                 "Windows-1252")
                      .arg(source));
    }
    const QString separator = m_matcher.options().csvSeparator.trimmed();
    const QChar sep = separator.isEmpty() ? QLatin1Char(';') : separator.at(0);
    return readRows(splitRecords(text, sep), progress);
}

bool SceneListReader::readRows(const QList<QStringList> &rows, LoadProgress *progress)
{
    if (progress)
        progress->setRange(0, rows.size());
    m_matcher.dispatchRows(rows, m_matcher.options().csvStartLine, progress);
    return true;
}

bool SceneListReader::ReadXmlSceneList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        appendLog(QStringLiteral("-ERR- ReadXmlSceneList : Echec ouverture fichier"));
        return false;
    }
    return readXmlBytes(file.readAll());
}

bool SceneListReader::readXmlBytes(const QByteArray &bytes)
{
    // Some spreadsheet exports put blanks before the XML declaration, which a parser refuses.
    QByteArray data = bytes;
    const QByteArray trimmed = bytes.trimmed();
    if (trimmed.startsWith("<?xml"))
        data = trimmed;
    QDomDocument doc;
    ParseFailure failure;
    if (!parseXml(data, &doc, &failure)) {
        appendLog(QStringLiteral("-ERR- ReadXmlSceneList : Parse error at line %1, column %2: %3")
                      .arg(QString::number(failure.line), QString::number(failure.column),
                           failure.message));
        return false;
    }
    const QDomElement table = doc.documentElement()
                                  .firstChildElement(QStringLiteral("Worksheet"))
                                  .firstChildElement(QStringLiteral("Table"));
    QList<QStringList> rows;
    QString error;
    if (!spreadsheetDataRows(table, &rows, &error)) {
        if (!error.isEmpty())
            appendLog(QStringLiteral("-ERR- ReadXmlSceneList : ") + error);
        return false;
    }
    for (const QStringList &texts : qAsConst(rows)) {
        for (int i = 0; i < kSpreadsheetColumns; ++i) {
            if (texts.at(i).isEmpty())
                continue;
            if (i == 0)
                m_matcher.addSceneItem(0, texts.at(i), true, QString());
            else if (!m_matcher.addTreeElm(i, texts.at(i)))
                return true; // an element before the first scene stops the reading
        }
    }
    return true;
}

bool SceneListReader::LoadFromDirectory(const QString &directory, const QString &extension)
{
    // An empty path (the selector still showing its hint) would list the working folder.
    if (directory.isEmpty())
        return false;
    const QFileInfoList files = filesWithExtension(directory, extension);
    const QList<int> nameRows = m_matcher.table().rowsWithOrigin(OriginSceneName, false);
    for (const QFileInfo &file : files) {
        const QString scene = removeExtension(file.fileName());
        m_matcher.addSceneItem(-1, scene, true, QString());
        for (int row : nameRows)
            m_matcher.addTreeElm(row, scene);
        if (isBridgeFileExtension(extension))
            ReadFileList(file.absoluteFilePath());
    }
    return true;
}

QStringList SceneListReader::bridgeFileFolders(const QString &directory, const QString &extension,
                                               const QStringList &known)
{
    QStringList folders;
    if (directory.isEmpty() || !isBridgeFileExtension(extension))
        return folders;
    for (const QFileInfo &file : filesWithExtension(directory, extension)) {
        QFile bridge(file.absoluteFilePath());
        QStringList uris;
        ParseFailure failure; // the reading itself reports it
        if (!bridge.open(QIODevice::ReadOnly) ||
            !bridgeFileAddresses(bridge.readAll(), &uris, &failure))
            continue;
        for (const QString &uri : qAsConst(uris)) {
            const QString folder = bridgeFileFolder(uri);
            if (!folder.isEmpty() && !known.contains(folder) && !folders.contains(folder))
                folders << folder;
        }
    }
    return folders;
}

bool SceneListReader::ReadFileList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return readFileListBytes(file.readAll());
}

bool SceneListReader::readFileListBytes(const QByteArray &bytes)
{
    QStringList uris;
    ParseFailure failure;
    if (!bridgeFileAddresses(bytes, &uris, &failure)) {
        appendLog(QStringLiteral("-ERR- Parse error at line %1 column %2 =>%3")
                      .arg(QString::number(failure.line), QString::number(failure.column),
                           failure.message));
        return false;
    }
    const MatchingTable &table = m_matcher.table();
    for (const QString &uri : qAsConst(uris)) {
        const QString name = fileName(uri);
        addLibraryFolder(bridgeFileFolder(uri));
        const int type = typeOfBridgeFile(name);
        for (int row = 0; row < table.rowCount(); ++row) {
            if (table.origin(row) == OriginSceneListFile && table.col(row) == 0 &&
                table.type(row) == type) {
                m_matcher.addTreeElm(row, removeExtension(name));
                break;
            }
        }
    }
    return true;
}

void SceneListReader::addLibraryFolder(const QString &folder)
{
    if (folder.isEmpty() || m_libraryFolders.contains(folder))
        return;
    m_libraryFolders << folder;
    m_addedFolders << folder;
}

bool SceneListReader::LoadSceneNames(const QStringList &names)
{
    const MatchingTable &table = m_matcher.table();
    for (const QString &name : names) {
        const QString scene = removeExtension(name);
        appendLog(QStringLiteral("Scene: ") + scene);
        m_matcher.addSceneItem(-1, scene, true, QString());
        for (int row = 0; row < table.rowCount(); ++row) {
            if (!table.isRowActive(row))
                continue;
            if (table.origin(row) == OriginSceneName) {
                m_matcher.addTreeElm(row, scene);
            } else if (table.origin(row) == OriginSceneListFile) {
                appendLog(QStringLiteral("-Warning- Name Matching Table: Option [SceneListFile] "
                                         "on line %1 incompatible in this mode.")
                              .arg(row + 1));
            }
        }
    }
    return true;
}
