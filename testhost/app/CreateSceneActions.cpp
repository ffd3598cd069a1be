// The Create Scene tab and the launcher from the command line: load the matching table from its
// saved one-line form, write the scene tree as JSON, list and press the launcher buttons.
#include "testhost/app/HostActions.h"
#include "testhost/app/PanelAccess.h"

#include <QAbstractButton>
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
               writeTree});
    table.add({QStringLiteral("launchers"), true, QStringLiteral("FILE"),
               QStringLiteral("write the Launch tab's button labels, one per line (- for stdout)"),
               writeLaunchers});
    table.add({QStringLiteral("launch"), true, QStringLiteral("LABEL"),
               QStringLiteral("press the launcher button with that label (runs its script)"),
               pressLauncher});
}
