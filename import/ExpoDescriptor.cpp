#include "import/ExpoDescriptor.h"

#include "import/ColumnAssembler.h"

#include <QDebug>
#include <QDomDocument>
#include <QFile>
#include <QtGlobal>

namespace {

void logLine(const QString &text)
{
    qWarning().noquote() << text;
}

// Attribute values are escaped so any name survives the trip through the reader, and
// characters beyond Latin-1 become character references: the file itself stays ISO-8859-1.
QString escapeAttribute(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default:
            if (c.unicode() < 256) {
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

} // namespace

ExpoDescriptor::ExpoDescriptor(const ImportOptions &options, ColumnAssembler &assembler)
    : m_options(options), m_assembler(assembler)
{
}

QByteArray ExpoDescriptor::descriptorText(int nbIma, int frameRate, int width, int height,
                                          const ExpoColList &cols)
{
    QString text;
    auto line = [&text](const QString &l) { text += l + QLatin1Char('\n'); };
    line(QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
    line(QStringLiteral("<!DOCTYPE quillMarkExpo>"));
    line(QStringLiteral("<expo name=\"RENDER\" nbIma=\"%1\" frameRate=\"%2\" >")
             .arg(nbIma).arg(frameRate));
    line(QStringLiteral("<size dx=\"%1\" dy=\"%2\" />").arg(width).arg(height));
    line(QStringLiteral("<cols name=\"A00\">"));
    const int n = cols.size();
    for (int i = 0; i <= n; ++i) {
        QStringList cur = folderParts(i < n ? cols.at(i).subdir : QString());
        QStringList prev = folderParts(i > 0 ? cols.at(i - 1).subdir : QString());
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

bool ExpoDescriptor::WriteExpoDescriptor(const QString &path, int nbIma, int frameRate,
                                         int width, int height, const ExpoColList &cols)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        logLine(QStringLiteral("Echec creation fichier"));
        return false;
    }
    const QByteArray text = descriptorText(nbIma, frameRate, width, height, cols);
    if (file.write(text) != text.size()) {
        logLine(QStringLiteral("Echec creation fichier"));
        return false;
    }
    return true;
}

bool ExpoDescriptor::readDefaults(const QString &path, int defaultFrameRate,
                                  DescriptorDefaults *out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDomDocument doc;
    if (!doc.setContent(&file, true))
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
    const int defaultRate = m_options.compFrameRate;
    logLine(QStringLiteral("ImportSceneFromXml:") + path);

    const int sep = lastSeparator(path);
    const QString dir = sep < 0 ? QString() : path.left(sep);
    QString sceneName = path.mid(sep + 1);
    const int dot = sceneName.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        sceneName.truncate(dot);
    sceneName.remove(generatedMarker());

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        logLine(QStringLiteral("ImportSceneFromXml:Echec ouverture fichier:%1").arg(path));
        return;
    }
    QDomDocument doc;
    QString message;
    int errorLine = 0;
    int errorColumn = 0;
    if (!doc.setContent(&file, true, &message, &errorLine, &errorColumn)) {
        logLine(QString::asprintf("Parse error at line %d, column %d:\n%s", errorLine,
                                  errorColumn, qPrintable(message)));
        return;
    }
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("expo")) {
        logLine(QStringLiteral("The file is not an expo file.\n"));
        return;
    }
    const int nbIma = intAttribute(root, QStringLiteral("nbIma"), 0);
    const int frameRate = intAttribute(root, QStringLiteral("frameRate"), defaultRate);
    const QDomElement size = root.firstChildElement(QStringLiteral("size"));
    const int dx = intAttribute(size, QStringLiteral("dx"), 0);
    const int dy = intAttribute(size, QStringLiteral("dy"), 0);
    logLine(QString::asprintf("dx=%d dy=%d nbIma=%d\n", dx, dy, nbIma));

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
            if (precomp != 0 && depth >= 1 && depth <= precomp
                && name != QLatin1String("Footage")) {
                m_assembler.precomposeLayers(added, name);
                count += 1;
            } else {
                count += added;
            }
        } else if (child.tagName() == QLatin1String("col")) {
            importColumn(child, dir, frameRate);
            count += 1;
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
    logLine(firstCell);

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
    const QString file = sequence ? name + QLatin1String("0001.") + ext
                                  : name + QLatin1Char('.') + ext;
    m_assembler.importColumn(base + QLatin1Char('/') + file, sequence, frameRate, QString(),
                             false);
}
