#include "scenelist/XlsxSheetReader.h"

#include "scenelist/XlsxPackage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QXmlStreamReader>
#include <algorithm>
#include <vector>

namespace {

// Excel's own bounds: a cell reference beyond them is damage, not data.
const int kMaxRow = 1048576;
const int kMaxColumn = 16384;

// Encrypted workbooks and old .xls files are OLE compound files, not zips.
const QByteArray kOleMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

struct Failure
{
    QString reason;
};

// A sheet as listed by the workbook, in tab order.
struct SheetEntry
{
    QString name;
    QString relationId;
};

struct Relationship
{
    QString id;
    QString type;
    QString target;
    bool external = false;
};

struct Cell
{
    int row = 0;
    int column = 0;
    QString text;
};

// Element names are matched in the spreadsheet namespace of either flavour (transitional or
// strict) or in none; extension elements of other namespaces are skipped, never read as cells.
bool isMainNamespace(const QStringRef &uri)
{
    return uri.isEmpty() ||
           uri == QLatin1String("http://schemas.openxmlformats.org/spreadsheetml/2006/main") ||
           uri == QLatin1String("http://purl.oclc.org/ooxml/spreadsheetml/main");
}

// QXmlStreamReader with the depth kept, a bound on it, and document type declarations refused
// (a workbook never has one; refusing it rules out entity expansion).
class XmlCursor
{
public:
    XmlCursor(const QByteArray &bytes, const QString &part, int maxDepth)
        : m_xml(bytes), m_part(part), m_maxDepth(maxDepth)
    {
        m_xml.setNamespaceProcessing(true);
    }

    // Moves to the next start or end element; false at the end of the document or on error.
    bool next()
    {
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (++m_depth > m_maxDepth) {
                    m_error = QStringLiteral("the part %1 nests elements deeper than %2 levels")
                                  .arg(m_part)
                                  .arg(m_maxDepth);
                    return false;
                }
                return true;
            case QXmlStreamReader::EndElement:
                --m_depth;
                return true;
            case QXmlStreamReader::DTD:
                m_error =
                    QStringLiteral("the part %1 holds a document type declaration").arg(m_part);
                return false;
            default:
                break;
            }
        }
        return false;
    }

    bool isStart(const char *name) const
    {
        return m_xml.isStartElement() && m_xml.name() == QLatin1String(name) &&
               isMainNamespace(m_xml.namespaceUri());
    }
    bool isStartAnyNamespace(const char *name) const
    {
        return m_xml.isStartElement() && m_xml.name() == QLatin1String(name);
    }
    bool isEnd() const { return m_xml.isEndElement(); }
    int depth() const { return m_depth; }

    QString attribute(const char *name) const
    {
        return m_xml.attributes().value(QLatin1String(name)).toString();
    }
    // r:id, in the relationships namespace of either flavour.
    QString relationId() const
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        for (const QXmlStreamAttribute &a : attributes)
            if (a.name() == QLatin1String("id") &&
                a.namespaceUri().endsWith(QLatin1String("relationships")))
                return a.value().toString();
        return QString();
    }

    // The text of the current element, which must hold no elements; leaves it closed.
    QString text()
    {
        const QString t = m_xml.readElementText();
        --m_depth;
        return t;
    }

    // Leaves the current element, walking (and bounding) whatever it holds.
    bool skip()
    {
        const int level = m_depth;
        while (m_depth >= level)
            if (!next())
                return false;
        return true;
    }

    // After the walk: the reason the part could not be read, or an empty text.
    QString error() const
    {
        if (!m_error.isEmpty())
            return m_error;
        if (m_xml.hasError())
            return QStringLiteral("the part %1 is not well-formed XML (line %2, column %3: %4)")
                .arg(m_part)
                .arg(m_xml.lineNumber())
                .arg(m_xml.columnNumber())
                .arg(m_xml.errorString());
        return QString();
    }

private:
    QXmlStreamReader m_xml;
    QString m_part;
    int m_maxDepth;
    int m_depth = 0;
    QString m_error;
};

// Control characters and the like are stored as "_xHHHH_" ("_x000D_" for a carriage return);
// "_x005F_" escapes an underscore that would otherwise start one.
QString decodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() &&
            text.at(i + 1) == QLatin1Char('x') && text.at(i + 6) == QLatin1Char('_')) {
            bool ok = false;
            const ushort code = text.midRef(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// The text of a shared string item or an inline string: its own <t>, or the <t> of each run,
// joined; phonetic guides (<rPh>) are reading aids, not part of the text.
bool readRichText(XmlCursor &xml, QString *text)
{
    const int level = xml.depth();
    while (xml.next()) {
        if (xml.isEnd()) {
            if (xml.depth() < level)
                return true;
        } else if (xml.isStart("t")) {
            *text += xml.text();
        } else if (!xml.isStart("r") && !xml.skip()) {
            return false;
        }
    }
    return false;
}

bool parseRelationships(const QByteArray &bytes, const QString &part, const XlsxLimits &limits,
                        std::vector<Relationship> *out, Failure *failure)
{
    XmlCursor xml(bytes, part, limits.maxXmlDepth);
    while (xml.next())
        if (xml.isStartAnyNamespace("Relationship"))
            out->push_back({xml.attribute("Id"), xml.attribute("Type"), xml.attribute("Target"),
                            xml.attribute("TargetMode") == QLatin1String("External")});
    failure->reason = xml.error();
    return failure->reason.isEmpty();
}

// "xl/workbook.xml" keeps its relationships in "xl/_rels/workbook.xml.rels".
QString relationshipsPart(const QString &part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

// A target is relative to the folder of the part that names it, or absolute from the package
// root when it starts with "/".
QString resolveTarget(const QString &fromPart, const QString &target)
{
    QString t = QUrl::fromPercentEncoding(target.toUtf8());
    t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!t.startsWith(QLatin1Char('/')))
        t = fromPart.left(fromPart.lastIndexOf(QLatin1Char('/')) + 1) + t;
    t = QDir::cleanPath(QLatin1Char('/') + t);
    return t.mid(1);
}

const Relationship *findType(const std::vector<Relationship> &rels, const char *typeEnd)
{
    for (const Relationship &r : rels)
        if (r.type.endsWith(QLatin1String(typeEnd)))
            return &r;
    return nullptr;
}

class WorkbookReader
{
public:
    WorkbookReader(XlsxPackage &package, const XlsxLimits &limits)
        : m_package(package), m_limits(limits)
    {}

    bool read(const QString &wantedSheet, QList<QStringList> *rows, Failure *failure)
    {
        return findWorkbook(failure) && readWorkbook(failure) &&
               readRelationships(m_workbook, &m_workbookRels, failure) &&
               readSharedStrings(failure) && readSheet(wantedSheet, rows, failure);
    }

private:
    bool readPart(const QString &part, QByteArray *bytes, Failure *failure)
    {
        return m_package.read(part, bytes, &failure->reason);
    }

    bool readRelationships(const QString &part, std::vector<Relationship> *rels, Failure *failure)
    {
        const QString relsPart = relationshipsPart(part);
        QByteArray bytes;
        if (!m_package.contains(relsPart))
            return true;
        return readPart(relsPart, &bytes, failure) &&
               parseRelationships(bytes, relsPart, m_limits, rels, failure);
    }

    bool findWorkbook(Failure *failure)
    {
        std::vector<Relationship> rootRels;
        if (!readRelationships(QStringLiteral("/"), &rootRels, failure))
            return false;
        const Relationship *office = findType(rootRels, "/officeDocument");
        m_workbook =
            office ? resolveTarget(QString(), office->target) : QStringLiteral("xl/workbook.xml");
        if (m_package.contains(m_workbook))
            return true;
        failure->reason =
            QStringLiteral("no workbook part %1 (not an .xlsx workbook?)").arg(m_workbook);
        return false;
    }

    bool readWorkbook(Failure *failure)
    {
        QByteArray bytes;
        if (!readPart(m_workbook, &bytes, failure))
            return false;
        XmlCursor xml(bytes, m_workbook, m_limits.maxXmlDepth);
        while (xml.next())
            if (xml.isStart("sheet"))
                m_sheets.push_back({xml.attribute("name"), xml.relationId()});
        failure->reason = xml.error();
        if (failure->reason.isEmpty() && m_sheets.empty())
            failure->reason = QStringLiteral("the workbook lists no sheets");
        return failure->reason.isEmpty();
    }

    bool readSharedStrings(Failure *failure)
    {
        const Relationship *rel = findType(m_workbookRels, "/sharedStrings");
        // Some writers leave the relationship out but still write the usual part.
        const QString part = rel ? resolveTarget(m_workbook, rel->target)
                                 : resolveTarget(m_workbook, QStringLiteral("sharedStrings.xml"));
        if (!m_package.contains(part))
            return true;
        QByteArray bytes;
        if (!readPart(part, &bytes, failure))
            return false;
        XmlCursor xml(bytes, part, m_limits.maxXmlDepth);
        while (xml.next()) {
            if (!xml.isStart("si"))
                continue;
            QString text;
            if (!readRichText(xml, &text))
                break;
            m_sharedStrings << decodeEscapes(text);
        }
        failure->reason = xml.error();
        return failure->reason.isEmpty();
    }

    // The name first, then without regard to case, then a 1-based position; empty means 1.
    int chooseSheet(const QString &wanted) const
    {
        const QString w = wanted.trimmed();
        if (w.isEmpty())
            return 0;
        for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive})
            for (size_t i = 0; i < m_sheets.size(); ++i)
                if (m_sheets[i].name.compare(w, cs) == 0)
                    return int(i);
        bool ok = false;
        const int number = w.toInt(&ok);
        return ok && number >= 1 && number <= int(m_sheets.size()) ? number - 1 : -1;
    }

    bool sheetPart(const QString &wanted, QString *part, Failure *failure) const
    {
        const int index = chooseSheet(wanted);
        if (index < 0) {
            QStringList names;
            for (const SheetEntry &s : m_sheets)
                names << QLatin1Char('"') + s.name + QLatin1Char('"');
            failure->reason = QStringLiteral("no sheet \"%1\" in the workbook (its sheets: %2)")
                                  .arg(wanted.trimmed(), names.join(QStringLiteral(", ")));
            return false;
        }
        const SheetEntry &sheet = m_sheets[size_t(index)];
        for (const Relationship &r : m_workbookRels) {
            if (r.id != sheet.relationId)
                continue;
            if (!r.type.endsWith(QLatin1String("/worksheet"))) {
                failure->reason = QStringLiteral("the sheet \"%1\" is not a worksheet (a chart "
                                                 "or a dialog sheet)")
                                      .arg(sheet.name);
                return false;
            }
            if (r.external)
                break;
            *part = resolveTarget(m_workbook, r.target);
            return true;
        }
        failure->reason =
            QStringLiteral("the sheet \"%1\" has no part in the workbook").arg(sheet.name);
        return false;
    }

    bool readSheet(const QString &wanted, QList<QStringList> *rows, Failure *failure)
    {
        QString part;
        QByteArray bytes;
        if (!sheetPart(wanted, &part, failure) || !readPart(part, &bytes, failure))
            return false;
        std::vector<Cell> cells;
        if (!readCells(bytes, part, &cells, failure))
            return false;
        buildRows(cells, rows);
        return true;
    }

    bool readCells(const QByteArray &bytes, const QString &part, std::vector<Cell> *cells,
                   Failure *failure)
    {
        XmlCursor xml(bytes, part, m_limits.maxXmlDepth);
        int row = 0;
        int column = 0;
        bool inSheetData = false;
        while (xml.next()) {
            if (xml.isEnd()) {
                if (inSheetData && xml.depth() < m_sheetDataDepth)
                    break; // nothing after the cells matters here
                continue;
            }
            if (xml.isStart("sheetData")) {
                inSheetData = true;
                m_sheetDataDepth = xml.depth();
            } else if (inSheetData && xml.isStart("row")) {
                if (!rowNumber(xml.attribute("r"), row + 1, &row, failure))
                    return false;
                column = 0;
            } else if (inSheetData && xml.isStart("c") && row > 0) {
                Cell cell;
                cell.row = row;
                if (!columnNumber(xml.attribute("r"), column + 1, &cell.column, failure) ||
                    !readCell(xml, &cell.text, failure))
                    return false;
                column = cell.column;
                if (!cell.text.isEmpty() && !keep(std::move(cell), cells, failure))
                    return false;
            } else if (!xml.isStart("sheetData") && !xml.isStart("worksheet") &&
                       !xml.isStart("row") && !xml.skip()) {
                break;
            }
        }
        failure->reason = xml.error();
        return failure->reason.isEmpty();
    }

    bool rowNumber(const QString &ref, int next, int *row, Failure *failure) const
    {
        bool ok = true;
        const int r = ref.isEmpty() ? next : ref.toInt(&ok);
        if (!ok || r < 1 || r > kMaxRow) {
            failure->reason = QStringLiteral("a row has the number \"%1\"").arg(ref);
            return false;
        }
        *row = r;
        return true;
    }

    // "C5" gives column 3: the letters count in base 26 from A = 1; the row digits that follow
    // are the row's own number.
    bool columnNumber(const QString &ref, int next, int *column, Failure *failure) const
    {
        if (ref.isEmpty()) {
            *column = next;
            return next <= kMaxColumn || fail(failure, ref);
        }
        int c = 0;
        int i = 0;
        for (; i < ref.size() && ref.at(i).isLetter() && i < 4; ++i) {
            const int letter = ref.at(i).toUpper().unicode() - 'A' + 1;
            if (letter < 1 || letter > 26)
                return fail(failure, ref);
            c = c * 26 + letter;
        }
        if (i == 0 || c > kMaxColumn)
            return fail(failure, ref);
        *column = c;
        return true;
    }

    static bool fail(Failure *failure, const QString &ref)
    {
        failure->reason = QStringLiteral("a cell has the reference \"%1\"").arg(ref);
        return false;
    }

    bool readCell(XmlCursor &xml, QString *text, Failure *failure)
    {
        const QString type = xml.attribute("t");
        const QString ref = xml.attribute("r");
        const int level = xml.depth();
        QString value;
        QString inlineText;
        bool hasInline = false;
        while (xml.next()) {
            if (xml.isEnd()) {
                if (xml.depth() < level)
                    return cellText(type, value, hasInline, inlineText, ref, text, failure);
            } else if (xml.isStart("v")) {
                value = xml.text();
            } else if (xml.isStart("is")) {
                hasInline = readRichText(xml, &inlineText);
            } else if (!xml.skip()) {
                break;
            }
        }
        return true; // the cursor's error ends the walk and is reported by the caller
    }

    bool cellText(const QString &type, const QString &value, bool hasInline,
                  const QString &inlineText, const QString &ref, QString *text,
                  Failure *failure) const
    {
        if (type == QLatin1String("s")) {
            if (value.isEmpty())
                return true;
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            if (!ok || index < 0 || index >= m_sharedStrings.size()) {
                failure->reason = QStringLiteral("the cell %1 names shared string %2 of %3")
                                      .arg(ref, value.trimmed())
                                      .arg(m_sharedStrings.size());
                return false;
            }
            *text = m_sharedStrings.at(index);
        } else if (type == QLatin1String("inlineStr")) {
            *text = decodeEscapes(hasInline ? inlineText : value);
        } else if (type == QLatin1String("b")) {
            const QString v = value.trimmed();
            *text = v == QLatin1String("1")   ? QStringLiteral("TRUE")
                    : v == QLatin1String("0") ? QStringLiteral("FALSE")
                                              : v;
        } else if (type == QLatin1String("str")) {
            *text = decodeEscapes(value);
        } else {
            *text = value; // numbers, dates and error codes as written
        }
        return true;
    }

    bool keep(Cell cell, std::vector<Cell> *cells, Failure *failure)
    {
        m_rows = std::max(m_rows, qint64(cell.row));
        m_columns = std::max(m_columns, qint64(cell.column));
        if (m_rows * m_columns > m_limits.maxCells) {
            failure->reason = QStringLiteral("the sheet spans %1 rows by %2 columns, more than "
                                             "the %3 cells a scene list may hold")
                                  .arg(m_rows)
                                  .arg(m_columns)
                                  .arg(m_limits.maxCells);
            return false;
        }
        cells->push_back(std::move(cell));
        return true;
    }

    void buildRows(const std::vector<Cell> &cells, QList<QStringList> *rows) const
    {
        QStringList empty;
        for (qint64 c = 0; c < m_columns; ++c)
            empty << QString();
        rows->clear();
        rows->reserve(int(m_rows));
        for (qint64 r = 0; r < m_rows; ++r)
            rows->append(empty);
        for (const Cell &cell : cells)
            (*rows)[cell.row - 1][cell.column - 1] = cell.text;
    }

    XlsxPackage &m_package;
    const XlsxLimits &m_limits;
    QString m_workbook;
    std::vector<Relationship> m_workbookRels;
    std::vector<SheetEntry> m_sheets;
    QStringList m_sharedStrings;
    int m_sheetDataDepth = 0;
    qint64 m_rows = 0;
    qint64 m_columns = 0;
};

// An OLE compound file: an encrypted workbook keeps "EncryptionInfo" and "EncryptedPackage"
// streams (their names in UTF-16); anything else is an old binary workbook or another file.
QString oleReason(QIODevice *device, const XlsxLimits &limits)
{
    device->seek(0);
    const QByteArray bytes = device->read(limits.maxFileBytes);
    const QByteArray encrypted = QByteArray("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    if (bytes.contains(encrypted))
        return QStringLiteral("the workbook is encrypted (protected by a password); save it "
                              "without a password");
    return QStringLiteral("an OLE compound file (an old .xls workbook?), not an .xlsx workbook");
}

XlsxSheet readDevice(QIODevice *device, const QString &sheet, const QString &fileName,
                     const XlsxLimits &limits)
{
    XlsxSheet result;
    Failure failure;
    if (device->size() > limits.maxFileBytes) {
        failure.reason =
            QStringLiteral("the file is larger than %1 bytes").arg(limits.maxFileBytes);
    } else if (device->peek(kOleMagic.size()) == kOleMagic) {
        failure.reason = oleReason(device, limits);
    } else {
        XlsxPackage package(limits);
        if (package.open(device, &failure.reason)) {
            WorkbookReader reader(package, limits);
            result.ok = reader.read(sheet, &result.rows, &failure);
        }
    }
    if (!result.ok) {
        result.rows.clear();
        result.error = QStringLiteral("-ERR- ReadXlsxSceneList : %1 : %2")
                           .arg(QDir::toNativeSeparators(fileName), failure.reason);
    }
    return result;
}

} // namespace

XlsxSheet XlsxSheetReader::read(const QString &path, const QString &sheet, const XlsxLimits &limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        XlsxSheet result;
        result.error = QStringLiteral("-ERR- ReadXlsxSceneList : %1 : cannot open the file (%2)")
                           .arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    return readDevice(&file, sheet, path, limits);
}

XlsxSheet XlsxSheetReader::readBytes(const QByteArray &bytes, const QString &sheet,
                                     const QString &fileName, const XlsxLimits &limits)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readDevice(&buffer, sheet, fileName, limits);
}
