#include "import/HostScripts.h"

QString jsStringContents(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\'':
            out += QLatin1String("\\'");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case 0x2028:
            out += QLatin1String("\\u2028");
            break;
        case 0x2029:
            out += QLatin1String("\\u2029");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString jsAsciiStringContents(const QString &text)
{
    const QString escaped = jsStringContents(text);
    QString out;
    out.reserve(escaped.size() + 8);
    for (const QChar c : escaped) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString compNamePrefix(const QString &compName, const QString &script)
{
    // One arg() call with both values: a "%2" inside the name is never taken for the script.
    return QStringLiteral("var _CurCompName='%1';%2").arg(jsStringContents(compName), script);
}

QString psdColumnScript(const QString &path)
{
    return QStringLiteral(
               "var o=new ImportOptions(File('%1'));o.importAs = ImportAsType.COMP;var "
               "g=app.project.importFile(o);var c=null;for(var "
               "i=1;i<=app.project.numItems;i++){var t=app.project.item(i);if(t instanceof "
               "CompItem && t.name==_CurCompName)c=t;} if (c!=null && g!=undefined) "
               "c.layers.add(g);delete o;")
        .arg(jsStringContents(path));
}

QString aepColumnScript(const QString &path)
{
    return QStringLiteral("var o=new ImportOptions(File('%1'));o.importAs = "
                          "ImportAsType.PROJECT;var g=app.project.importFile(o);")
        .arg(jsStringContents(path));
}

QString evalFileScript(const QString &path)
{
    return QStringLiteral("$.evalFile('%1');").arg(jsAsciiStringContents(path));
}

QString layerIndexList(int first, int count)
{
    QStringList numbers;
    for (int k = 0; k < count; ++k)
        numbers << QString::number(first + k);
    return QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString precomposeScript(const QString &indexList, const QString &name)
{
    return QStringLiteral("var c=null; for(var i=1;i<=app.project.numItems;i++){var "
                          "t=app.project.item(i); if(t instanceof CompItem && "
                          "t.name==_CurCompName) c=t;} if (c!=null) "
                          "c.layers.precompose(%1,'%2',true);")
        .arg(indexList, jsStringContents(name));
}

bool isBatchScript(const QString &entry)
{
    const int sep = qMax(entry.lastIndexOf(QLatin1Char('/')), entry.lastIndexOf(QLatin1Char('\\')));
    return entry.mid(sep + 1).toUpper().startsWith(QLatin1String("BATCH"));
}

QStringList batchScripts(const QStringList &entries)
{
    QStringList out;
    for (const QString &entry : entries) {
        const QString path = entry.simplified();
        if (!path.isEmpty() && isBatchScript(path))
            out << path;
    }
    return out;
}
