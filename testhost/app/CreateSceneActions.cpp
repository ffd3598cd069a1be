// The Create Scene tab and the launcher from the command line: load the matching table from its
// saved one-line form, write the scene tree as JSON or as text, print the projects a Create AE
// run saved, write a sample production, list and press the launcher buttons.
#include "testhost/app/HostActions.h"
#include "testhost/app/PanelAccess.h"
#include "testhost/app/ProjectSummary.h"
#include "testhost/app/SampleProduction.h"

#include <QAbstractButton>
#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLayout>
#include <QTreeWidget>

namespace {

// A cell counts as red when the panel painted its text pure red, as it does for what is missing.
QJsonArray redColumns(const QTreeWidgetItem *item)
{
    QJsonArray red;
    for (int column = 0; column < item->columnCount(); ++column) {
        const QBrush brush = item->foreground(column);
        if (brush.style() != Qt::NoBrush && brush.color() == QColor(Qt::red))
            red.append(column);
    }
    return red;
}

QJsonArray cells(const QTreeWidgetItem *item, int columns)
{
    QJsonArray texts;
    for (int column = 0; column < columns; ++column)
        texts.append(item->text(column));
    return texts;
}

QJsonObject treeJson(const QTreeWidget *tree)
{
    const int columns = tree->columnCount();
    QJsonArray headers;
    for (int column = 0; column < columns; ++column)
        headers.append(tree->headerItem()->text(column));
    QJsonArray scenes;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *scene = tree->topLevelItem(i);
        QJsonArray elements;
        for (int c = 0; c < scene->childCount(); ++c)
            elements.append(QJsonObject{{"cells", cells(scene->child(c), columns)},
                                        {"red", redColumns(scene->child(c))}});
        scenes.append(QJsonObject{{"cells", cells(scene, columns)},
                                  {"red", redColumns(scene)},
                                  {"selected", scene->isSelected()},
                                  {"elements", elements}});
    }
    return QJsonObject{{"columns", headers}, {"scenes", scenes}};
}

bool writeTree(HostRun &run, const QString &file)
{
    auto *tree = qobject_cast<QTreeWidget *>(findWidget(run, QStringLiteral("treeWidget")));
    if (!tree)
        return false;
    const QByteArray json = QJsonDocument(treeJson(tree)).toJson(QJsonDocument::Compact);
    return writeOutput(run, file, QString::fromUtf8(json));
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
        if (redColumns(scene).contains(0))
            line += QStringLiteral("  [missing files]");
        lines << line;
        for (int c = 0; c < scene->childCount(); ++c) {
            const QTreeWidgetItem *element = scene->child(c);
            const QString where = redColumns(element).contains(0)
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
