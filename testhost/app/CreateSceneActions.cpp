// The Create Scene tab and the launcher from the command line: load the matching table from its
// saved one-line form, write the scene tree as JSON or as text, print the projects a Create AE
// run saved, write a sample production, list and press the launcher buttons.
#include "testhost/app/HostActions.h"
#include "testhost/app/OutputFiles.h"
#include "testhost/app/PanelAccess.h"
#include "testhost/app/ProjectSummary.h"
#include "testhost/app/SampleProduction.h"

#include <QAbstractButton>
#include <QDir>
#include <QDirIterator>
#include <QLayout>
#include <QTreeWidget>

namespace {

// A cell counts as red when the panel painted its text pure red, as it does for what is missing.
bool isRed(const QTreeWidgetItem *item, int column)
{
    const QVariant foreground = item->data(column, Qt::ForegroundRole);
    if (!foreground.isValid())
        return false;
    const QBrush brush = foreground.value<QBrush>();
    return brush.style() != Qt::NoBrush && brush.color() == QColor(Qt::red);
}

QList<int> redColumns(const QTreeWidgetItem *item, int columns)
{
    QList<int> red;
    for (int column = 0; column < columns; ++column) {
        if (isRed(item, column))
            red << column;
    }
    return red;
}

// Compact JSON written as it goes into one UTF-8 buffer, byte for byte as
// QJsonDocument::toJson(QJsonDocument::Compact) writes the same document: object keys in
// sorted order, strings escaped as Qt escapes them. A tree of 100,000 cells is written without
// building a document of them.
class JsonText
{
public:
    explicit JsonText(QByteArray *out) : m_out(*out) {}

    void raw(const char *text) { m_out += text; }
    void key(const char *name)
    {
        m_out += '"';
        m_out += name;
        m_out += "\":";
    }
    void string(const QString &text)
    {
        // Room for the longest form of every unit (a \uXXXX escape), trimmed afterwards.
        const int start = m_out.size();
        m_out.resize(start + 2 + 6 * text.size());
        char *out = m_out.data() + start;
        *out++ = '"';
        const ushort *unit = text.utf16();
        const ushort *end = unit + text.size();
        while (unit != end) {
            const ushort u = *unit++;
            if (u >= 0x80)
                out = utf8(out, u, unit, end);
            else if (u >= 0x20 && u != '"' && u != '\\')
                *out++ = char(u);
            else
                out = escaped(out, u);
        }
        *out++ = '"';
        m_out.resize(int(out - m_out.constData()));
    }
    void number(int value) { m_out += QByteArray::number(value); }
    void boolean(bool value) { m_out += value ? "true" : "false"; }

private:
    static char *escaped(char *out, ushort u)
    {
        static const char hex[] = "0123456789abcdef";
        *out++ = '\\';
        switch (u) {
        case '"':
            *out++ = '"';
            break;
        case '\\':
            *out++ = '\\';
            break;
        case '\b':
            *out++ = 'b';
            break;
        case '\f':
            *out++ = 'f';
            break;
        case '\n':
            *out++ = 'n';
            break;
        case '\r':
            *out++ = 'r';
            break;
        case '\t':
            *out++ = 't';
            break;
        default:
            *out++ = 'u';
            for (int shift = 12; shift >= 0; shift -= 4)
                *out++ = hex[(u >> shift) & 0xf];
        }
        return out;
    }
    // A unit of 0x80 or more (with the low surrogate that follows a high one) as UTF-8; a
    // lone surrogate as a \u escape, as Qt writes it.
    static char *utf8(char *out, ushort u, const ushort *&next, const ushort *end)
    {
        if (u < 0x800) {
            *out++ = char(0xc0 | (u >> 6));
            *out++ = char(0x80 | (u & 0x3f));
        } else if (!QChar::isSurrogate(u)) {
            *out++ = char(0xe0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3f));
            *out++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isHighSurrogate(u) && next != end && QChar::isLowSurrogate(*next)) {
            const uint code = QChar::surrogateToUcs4(u, *next++);
            *out++ = char(0xf0 | (code >> 18));
            *out++ = char(0x80 | ((code >> 12) & 0x3f));
            *out++ = char(0x80 | ((code >> 6) & 0x3f));
            *out++ = char(0x80 | (code & 0x3f));
        } else {
            out = escaped(out, u);
        }
        return out;
    }

    QByteArray &m_out;
};

void writeCells(JsonText &json, const QTreeWidgetItem *item, int columns)
{
    json.key("cells");
    json.raw("[");
    for (int column = 0; column < columns; ++column) {
        if (column > 0)
            json.raw(",");
        json.string(item->text(column));
    }
    json.raw("]");
}

void writeRed(JsonText &json, const QTreeWidgetItem *item, int columns)
{
    json.key("red");
    json.raw("[");
    const QList<int> red = redColumns(item, columns);
    for (int i = 0; i < red.size(); ++i) {
        if (i > 0)
            json.raw(",");
        json.number(red.at(i));
    }
    json.raw("]");
}

// {"columns":[headers],"scenes":[{"cells":[...],"elements":[{"cells":[...],"red":[...]}],
// "red":[...],"selected":bool}]}
QByteArray treeJson(const QTreeWidget *tree)
{
    const int columns = tree->columnCount();
    QByteArray out;
    out.reserve(256 * (tree->topLevelItemCount() + 1));
    JsonText json(&out);
    json.raw("{");
    json.key("columns");
    json.raw("[");
    for (int column = 0; column < columns; ++column) {
        if (column > 0)
            json.raw(",");
        json.string(tree->headerItem()->text(column));
    }
    json.raw("],");
    json.key("scenes");
    json.raw("[");
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *scene = tree->topLevelItem(i);
        json.raw(i > 0 ? ",{" : "{");
        writeCells(json, scene, columns);
        json.raw(",");
        json.key("elements");
        json.raw("[");
        for (int c = 0; c < scene->childCount(); ++c) {
            json.raw(c > 0 ? ",{" : "{");
            writeCells(json, scene->child(c), columns);
            json.raw(",");
            writeRed(json, scene->child(c), columns);
            json.raw("}");
        }
        json.raw("],");
        writeRed(json, scene, columns);
        json.raw(",");
        json.key("selected");
        json.boolean(scene->isSelected());
        json.raw("}");
    }
    json.raw("]}");
    return out;
}

bool writeTree(HostRun &run, const QString &file)
{
    auto *tree = qobject_cast<QTreeWidget *>(findWidget(run, QStringLiteral("treeWidget")));
    if (!tree)
        return false;
    const QByteArray json = treeJson(tree);
    if (file == QLatin1String("-"))
        return writeOutput(run, file, QString::fromUtf8(json));
    QString error;
    if (writeOutputFile(json, file, &error))
        return true;
    *run.err << "cellkit-host: " << error << Qt::endl;
    return false;
}

// One line per scene, its elements indented below it; what is missing is marked.
//   SC030  [missing files]
//     BG     BG_SC030  /prod/library/bg/BG_SC030.png
//     Asset  zed       MISSING (zed.png)
QString treeText(const QTreeWidget *tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *scene = tree->topLevelItem(i);
        QString line = scene->text(0);
        if (!scene->text(2).isEmpty())
            line += QStringLiteral("  (%1)").arg(scene->text(2));
        if (isRed(scene, 0))
            line += QStringLiteral("  [missing files]");
        lines << line;
        for (int c = 0; c < scene->childCount(); ++c) {
            const QTreeWidgetItem *element = scene->child(c);
            const QString where = isRed(element, 0)
                                      ? QStringLiteral("MISSING (%1)").arg(element->text(3))
                                      : QDir::toNativeSeparators(element->text(4));
            lines << QStringLiteral("    %1 %2 %3")
                         .arg(element->text(1).leftJustified(6), element->text(0).leftJustified(10),
                              where);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

bool writeTreeText(HostRun &run, const QString &file)
{
    auto *tree = qobject_cast<QTreeWidget *>(findWidget(run, QStringLiteral("treeWidget")));
    return tree && writeOutput(run, file, treeText(tree));
}

// Every project file below the folder, in name order.
bool printProjects(HostRun &run, const QString &folder)
{
    QStringList projects;
    QDirIterator it(folder, {QStringLiteral("*.aep")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        projects << it.next();
    projects.sort();
    if (projects.isEmpty())
        *run.out << "no project saved below " << QDir::toNativeSeparators(folder) << '\n';
    bool ok = true;
    for (const QString &path : projects)
        ok = printSavedProject(*run.out, path) && ok;
    run.out->flush();
    return ok;
}

bool makeProduction(HostRun &run, const QString &root)
{
    SampleProduction production;
    QString error;
    if (!writeSampleProduction(root, &production, &error)) {
        *run.err << "cellkit-host: " << error << Qt::endl;
        return false;
    }
    *run.out << "sample production in " << QDir::toNativeSeparators(QDir(root).absolutePath())
             << ": scene list " << QDir::toNativeSeparators(production.sceneList) << ", library "
             << QDir::toNativeSeparators(production.library) << ", matching table "
             << QDir::toNativeSeparators(production.matchingTable) << Qt::endl;
    return true;
}

bool loadTable(HostRun &run, const QString &text)
{
    QWidget *table = findWidgetOfClass(run, "TableConfig");
    return table && QMetaObject::invokeMethod(table, "loadFromText", Q_ARG(QString, text));
}

// The launcher buttons, in the order the Launch tab shows them.
QList<QAbstractButton *> launcherButtons(HostRun &run)
{
    QList<QAbstractButton *> buttons;
    QWidget *panel = findPanel(run);
    auto *zone = panel ? panel->findChild<QLayout *>(QStringLiteral("DynamicButtonZone")) : nullptr;
    if (!zone) {
        *run.err << "cellkit-host: no panel is open (use --command cellKit first)" << Qt::endl;
        return buttons;
    }
    for (int i = 0; i < zone->count(); ++i)
        if (auto *button = qobject_cast<QAbstractButton *>(zone->itemAt(i)->widget()))
            buttons << button;
    return buttons;
}

bool writeLaunchers(HostRun &run, const QString &file)
{
    if (!findPanel(run)) {
        *run.err << "cellkit-host: no panel is open (use --command cellKit first)" << Qt::endl;
        return false;
    }
    QStringList labels;
    for (const QAbstractButton *button : launcherButtons(run))
        labels << button->text();
    // One line per button; nothing at all for an empty launcher.
    if (labels.isEmpty())
        return file == QLatin1String("-") || writeOutput(run, file, QString());
    return writeOutput(run, file, labels.join(QLatin1Char('\n')));
}

bool pressLauncher(HostRun &run, const QString &label)
{
    startDialogWatcher(run);
    for (QAbstractButton *button : launcherButtons(run)) {
        if (button->text() == label) {
            button->click();
            return true;
        }
    }
    *run.err << "cellkit-host: no launcher button labelled " << label << Qt::endl;
    return false;
}

} // namespace

void addCreateSceneActions(ActionTable &table)
{
    table.add({QStringLiteral("table"), true, QStringLiteral("TEXT"),
               QStringLiteral("load the Assets Matching Table from its saved one-line form (the "
                              "TableOptions text)"),
               loadTable});
    table.add({QStringLiteral("tree"), true, QStringLiteral("FILE"),
               QStringLiteral("write the scene tree as JSON (- for stdout): {\"columns\":[11 "
                              "headers],\"scenes\":[{\"cells\":[11 texts],\"red\":[columns in "
                              "red],\"selected\":bool,\"elements\":[{\"cells\":[...],\"red\":[...]}"
                              "]}]} in tree order"),
               writeTree},
              kValueIsPath);
    table.add({QStringLiteral("tree-text"), true, QStringLiteral("FILE"),
               QStringLiteral("write the scene tree as text (- for stdout): a line per scene, its "
                              "elements indented with their path or MISSING"),
               writeTreeText},
              kValueIsPath);
    table.add({QStringLiteral("print-projects"), true, QStringLiteral("DIR"),
               QStringLiteral("print every project saved below DIR (e.g. by Create AE): its "
                              "compositions and their layers, top first"),
               printProjects},
              kValueIsPath);
    table.add({QStringLiteral("make-production"), true, QStringLiteral("DIR"),
               QStringLiteral("write a sample production into DIR: an asset library, a CSV scene "
                              "list and its matching table (matching-table.txt, for --table)"),
               makeProduction},
              kValueIsPath);
    table.add({QStringLiteral("launchers"), true, QStringLiteral("FILE"),
               QStringLiteral("write the Launch tab's button labels, one per line (- for stdout)"),
               writeLaunchers},
              kValueIsPath);
    table.add({QStringLiteral("launch"), true, QStringLiteral("LABEL"),
               QStringLiteral("press the launcher button with that label (runs its script)"),
               pressLauncher});
}
