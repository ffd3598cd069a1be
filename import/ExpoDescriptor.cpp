#include "import/ExpoDescriptor.h"

#include "import/ColumnAssembler.h"
#include "support/LogSink.h"
#include "support/WholeFile.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QXmlStreamReader>
#include <QtGlobal>

namespace {

// Folders nest as deep as the scene's directories; the column walk recurses once per level, so
// a hostile file nesting thousands of levels is refused before the walk could run out of stack.
constexpr int kMaxNesting = 512;

// Attribute values are escaped so any name survives the trip through the reader: the four
// markup characters, and tab, line feed and carriage return which the parser would otherwise
// turn into blanks. Characters beyond Latin-1 become character references, so the file itself
// stays ISO-8859-1. Other control characters have no XML form at all; their reference makes
// the reader refuse the file with a parse error rather than import a wrong name.
QString escapeAttribute(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() < 256) {
                out += c;
            } else {
                uint code = c.unicode();
                if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate())
                    code = QChar::surrogateToUcs4(c, value.at(++i));
                out += QStringLiteral("&#%1;").arg(code);
            }
        }
    }
    return out;
}

QStringList folderParts(const QString &subdir)
{
    return subdir.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

int lastSeparator(const QString &path)
{
    return qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

int intAttribute(const QDomElement &e, const QString &name, int missing)
{
    return e.hasAttribute(name) ? e.attribute(name).toInt() : missing;
}

QString parseError(int line, int column, const QString &message)
{
    return QStringLiteral("Parse error at line %1, column %2:\n%3")
        .arg(QString::number(line), QString::number(column), message);
}

// True (with the place) when elements nest deeper than the limit. Malformed text stops the
// count where it breaks; the DOM parse that follows reports it.
bool nestsTooDeep(const QByteArray &data, int *line, int *column)
{
    QXmlStreamReader xml(data);
    int depth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxNesting) {
            *line = int(xml.lineNumber());
            *column = int(xml.columnNumber());
            return true;
        }
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return false;
}

// Parses the descriptor; on failure *error receives the parse-error text of the log.
bool parseDescriptor(const QByteArray &data, QDomDocument *doc, QString *error)
{
    QString message;
    int line = 0;
    int column = 0;
    if (nestsTooDeep(data, &line, &column)) {
        *error = parseError(line, column,
                            QStringLiteral("elements nested more than %1 deep").arg(kMaxNesting));
        return false;
    }
    // Built from the stream reader: the older DOM parser cuts character references beyond
    // U+FFFF to 16 bits, so names written as such references would not come back.
    QXmlStreamReader xml(data);
    if (!doc->setContent(&xml, true, &message, &line, &column)) {
        *error = parseError(line, column, message);
        return false;
    }
    return true;
}

} // namespace

ExpoDescriptor::ExpoDescriptor(const ImportOptions &options, ColumnAssembler &assembler)
    : m_options(options), m_assembler(assembler)
{}

QByteArray ExpoDescriptor::descriptorText(int nbIma, int frameRate, int width, int height,
                                          const ExpoColList &cols)
{
    QString text;
    auto line = [&text](const QString &l) { text += l + QLatin1Char('\n'); };
    line(QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
    line(QStringLiteral("<!DOCTYPE quillMarkExpo>"));
    line(QStringLiteral("<expo name=\"RENDER\" nbIma=\"%1\" frameRate=\"%2\" >")
             .arg(nbIma)
             .arg(frameRate));
    line(QStringLiteral("<size dx=\"%1\" dy=\"%2\" />").arg(width).arg(height));
    line(QStringLiteral("<cols name=\"A00\">"));
    // Each column closes the folders of the previous column that it does not share and opens
    // its own; the pass after the last column closes what is still open.
    const int n = cols.size();
    for (int i = 0; i <= n; ++i) {
        const QStringList cur = folderParts(i < n ? cols.at(i).subdir : QString());
        const QStringList prev = folderParts(i > 0 ? cols.at(i - 1).subdir : QString());
        int common = 0;
        while (common < cur.size() && common < prev.size() && cur.at(common) == prev.at(common))
            ++common;
        for (int k = common; k < prev.size(); ++k)
            line(QStringLiteral("</cols>"));
        for (int k = common; k < cur.size(); ++k)
            line(QStringLiteral("<cols name=\"%1\">").arg(escapeAttribute(cur.at(k))));
        if (i == n)
            break;
        const ExpoCol &c = cols.at(i);
        const bool fixed = c.nbIma == 1;
        line(QStringLiteral("    <col name=\"%1\"  type=\"%2\" subdir=\"%3\" ext=\"%4\" "
                            "firstCellName=\"%5\" folder=\"%6\" />")
                 .arg(escapeAttribute(fixed ? c.firstCellName : c.name),
                      fixed ? QStringLiteral("fixe") : QStringLiteral("anim"),
                      escapeAttribute(c.subdir), escapeAttribute(c.ext),
                      escapeAttribute(c.firstCellName), escapeAttribute(c.folder)));
    }
    line(QStringLiteral("</cols>"));
    line(QStringLiteral("</expo>"));
    return text.toLatin1(); // everything beyond Latin-1 is already a character reference
}

bool ExpoDescriptor::WriteExpoDescriptor(const QString &path, int nbIma, int frameRate, int width,
                                         int height, const ExpoColList &cols)
{
    QByteArray text = descriptorText(nbIma, frameRate, width, height, cols);
#ifdef Q_OS_WIN
    text.replace("\n", "\r\n"); // the text-mode line ends descriptors have always had there
#endif
    QString why;
    if (writeWholeFile(path, text, &why))
        return true;
    appendLog(QStringLiteral("Echec creation fichier"));
    appendLog(QStringLiteral("-ERR- WriteExpoDescriptor [%1]: %2")
                  .arg(QDir::toNativeSeparators(path), why));
    return false;
}

bool ExpoDescriptor::readDefaults(const QString &path, int defaultFrameRate,
                                  DescriptorDefaults *out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return readDefaultsFromData(file.readAll(), defaultFrameRate, out);
}

bool ExpoDescriptor::readDefaultsFromData(const QByteArray &data, int defaultFrameRate,
                                          DescriptorDefaults *out)
{
    QDomDocument doc;
    QString error;
    if (!parseDescriptor(data, &doc, &error))
        return false;
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("expo"))
        return false;
    out->nbIma = intAttribute(root, QStringLiteral("nbIma"), 0);
    out->frameRate = intAttribute(root, QStringLiteral("frameRate"), defaultFrameRate);
    const QDomElement size = root.firstChildElement(QStringLiteral("size"));
    if (!size.isNull()) {
        out->dx = intAttribute(size, QStringLiteral("dx"), 0);
        out->dy = intAttribute(size, QStringLiteral("dy"), 0);
    }
    return true;
}

void ExpoDescriptor::ImportSceneFromXml(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        appendLog(QStringLiteral("ImportSceneFromXml:") + path);
        appendLog(QStringLiteral("ImportSceneFromXml:Echec ouverture fichier:%1").arg(path));
        return;
    }
    importSceneFromData(path, file.readAll());
}

void ExpoDescriptor::importSceneFromData(const QString &path, const QByteArray &data)
{
    const int defaultRate = m_options.compFrameRate;
    appendLog(QStringLiteral("ImportSceneFromXml:") + path);

    const int sep = lastSeparator(path);
    const QString dir = sep < 0 ? QString() : path.left(sep);
    QString sceneName = path.mid(sep + 1);
    const int dot = sceneName.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        sceneName.truncate(dot);
    sceneName.remove(generatedMarker());

    QDomDocument doc;
    QString error;
    if (!parseDescriptor(data, &doc, &error)) {
        appendLog(error);
        return;
    }
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("expo")) {
        appendLog(QStringLiteral("The file is not an expo file.\n"));
        return;
    }
    const int nbIma = intAttribute(root, QStringLiteral("nbIma"), 0);
    int frameRate = intAttribute(root, QStringLiteral("frameRate"), defaultRate);
    const QDomElement size = root.firstChildElement(QStringLiteral("size"));
    const int dx = intAttribute(size, QStringLiteral("dx"), 0);
    const int dy = intAttribute(size, QStringLiteral("dy"), 0);
    appendLog(QString::asprintf("dx=%d dy=%d nbIma=%d\n", dx, dy, nbIma));
    // The scene's duration is nbIma / frameRate: a rate of 0 or less has no meaning for the
    // host, so the panel's rate stands in for it.
    if (frameRate <= 0) {
        appendLog(QStringLiteral("-WAR- ImportSceneFromXml : frameRate %1 ignored, %2 used")
                      .arg(frameRate)
                      .arg(defaultRate));
        frameRate = defaultRate;
    }

    m_assembler.createSceneComposition(path, sceneName, nbIma, frameRate, dx, dy);
    ImportCols(root, dir, frameRate, 0);
    m_assembler.runBatchScripts();
}

int ExpoDescriptor::ImportCols(const QDomElement &element, const QString &dir, int frameRate,
                               int depth)
{
    if (element.isNull())
        return 0;
    const int precomp = m_options.precomp;
    int count = 0;
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.tagName() == QLatin1String("cols")) {
            const int added = ImportCols(child, dir, frameRate, depth + 1);
            const QString name = child.attribute(QStringLiteral("name"));
            // Folders from the first level inside "A00" down to the option's depth become one
            // layer each; "Footage" folders keep their layers.
            if (precomp != 0 && depth >= 1 && depth <= precomp &&
                name != QLatin1String("Footage")) {
                m_assembler.precomposeLayers(added, name);
                count += 1;
            } else {
                count += added;
            }
        } else if (child.tagName() == QLatin1String("col")) {
            importColumn(child, dir, frameRate);
            count += 1; // also when nothing could be imported
        }
    }
    return count;
}

void ExpoDescriptor::importColumn(const QDomElement &col, const QString &dir, int frameRate)
{
    const QString name = col.attribute(QStringLiteral("name"));
    const bool sequence = col.attribute(QStringLiteral("type")) == QLatin1String("anim");
    const QString subdir = col.attribute(QStringLiteral("subdir"));
    QString ext = col.attribute(QStringLiteral("ext"));
    const QString firstCell = col.attribute(QStringLiteral("firstCellName"));
    const QString folder = col.attribute(QStringLiteral("folder"));
    appendLog(firstCell);

    // subdir carries its own leading "/"; the column import cleans the joined path.
    const QString base = dir + subdir;
    if (!firstCell.isEmpty()) {
        m_assembler.importColumn(base + QLatin1Char('/') + firstCell + QLatin1Char('.') + ext,
                                 sequence, frameRate, folder, true);
        return;
    }
    if (name.isEmpty())
        return;
    if (ext.isEmpty())
        ext = QStringLiteral("png");
    // A sequence named only by its name starts at the four-digit frame 0001.
    const QString file =
        sequence ? name + QLatin1String("0001.") + ext : name + QLatin1Char('.') + ext;
    m_assembler.importColumn(base + QLatin1Char('/') + file, sequence, frameRate, QString(), false);
}
