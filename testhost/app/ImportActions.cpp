// Importing scene folders from the command line as a user would on the panel's Import Scene
// tab, and the sample scenes the demo imports. After an import, each scene's saved project is
// summarised: its compositions with their layers, top first.
#include "testhost/app/HostActions.h"
#include "testhost/app/PanelAccess.h"
#include "testhost/app/ProjectSummary.h"
#include "testhost/app/SampleScenes.h"
#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QListWidget>

namespace {

const QString kPanelMatchName = QStringLiteral("cellKit");

QWidget *openPanel(HostRun &run)
{
    if (!run.host->panelContainer(kPanelMatchName))
        run.host->chooseWindowMenuEntry(kPanelMatchName);
    if (QWidget *panel = findPanel(run))
        return panel;
    *run.err << "cellkit-host: the plug-in did not open its panel" << Qt::endl;
    return nullptr;
}

template <typename T> T *panelWidget(HostRun &run, QWidget *panel, const char *name)
{
    T *widget = panel->findChild<T *>(QLatin1String(name));
    if (!widget)
        *run.err << "cellkit-host: the panel has no widget named " << name << Qt::endl;
    return widget;
}

// Selects the named scene entries, or all of them when none are named.
bool selectScenes(HostRun &run, QListWidget *list, const QStringList &names)
{
    list->clearSelection();
    if (names.isEmpty()) {
        list->selectAll();
        return true;
    }
    for (const QString &name : names) {
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) {
            *run.err << "cellkit-host: no scene " << name << " in " << run.importRoot << Qt::endl;
            return false;
        }
        found.first()->setSelected(true);
    }
    return true;
}

// Projects of this scene written by the run (saved at or after `since`).
QStringList savedProjects(const QString &sceneDir, const QDateTime &since)
{
    QStringList found;
    const QFileInfoList files =
        QDir(sceneDir).entryInfoList({QStringLiteral("*.aep")}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : files)
        if (info.lastModified() >= since)
            found << info.absoluteFilePath();
    return found;
}

void printScenes(HostRun &run, const QStringList &scenes, const QDateTime &since)
{
    bool anySaved = false;
    for (const QString &scene : scenes) {
        *run.out << scene << '\n';
        const QStringList projects = savedProjects(QDir(run.importRoot).filePath(scene), since);
        if (projects.isEmpty())
            *run.out << "  no project saved for this scene\n";
        for (const QString &path : projects)
            anySaved = printSavedProject(*run.out, path) || anySaved;
    }
    // Without batch mode every scene went into the project that is open.
    if (!anySaved) {
        *run.out << "open project\n";
        printCompositions(*run.out, run.host->project().model());
    }
    run.out->flush();
}

// Sets the input directory, refreshes, selects the scenes, presses Import and lets the host
// reach its idle time, when the panel runs the import.
bool runImport(HostRun &run)
{
    if (!run.ensurePlugin())
        return false;
    QWidget *panel = openPanel(run);
    if (!panel)
        return false;
    auto *inputDir = panelWidget<QAbstractButton>(run, panel, "pbImpInputDir");
    auto *refresh = panelWidget<QAbstractButton>(run, panel, "pbImpRefreshInputDir");
    auto *list = panelWidget<QListWidget>(run, panel, "lwImpInputDir");
    auto *import = panelWidget<QAbstractButton>(run, panel, "pb_importScene");
    if (!inputDir || !refresh || !list || !import)
        return false;
    inputDir->setText(QDir(run.importRoot).absolutePath());
    refresh->click();
    if (!selectScenes(run, list, run.importScenes))
        return false;
    QStringList scenes;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            scenes << list->item(i)->text();
    // File times may have a one-second grain: anything saved from this second on is ours.
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    import->click();
    run.host->idle(1);
    printScenes(run, scenes, since);
    return true;
}

bool startImport(HostRun &run, const QString &root)
{
    if (!QFileInfo(root).isDir()) {
        *run.err << "cellkit-host: no scene folder " << root << Qt::endl;
        return false;
    }
    run.importRoot = root;
    run.importScenes.clear();
    run.pending.push_back([&run]() { return runImport(run); });
    return true;
}

bool addScene(HostRun &run, const QString &name)
{
    if (run.pending.empty() || run.importRoot.isEmpty()) {
        *run.err << "cellkit-host: --scene belongs after --import ROOT" << Qt::endl;
        return false;
    }
    run.importScenes << name;
    return true;
}

bool makeSamples(HostRun &run, const QString &root)
{
    QString error;
    const QStringList scenes = writeSampleScenes(root, &error);
    if (scenes.isEmpty()) {
        *run.err << "cellkit-host: " << error << Qt::endl;
        return false;
    }
    *run.out << "sample scenes in " << QDir::toNativeSeparators(QDir(root).absolutePath()) << ": "
             << scenes.join(QStringLiteral(", ")) << '\n';
    run.out->flush();
    return true;
}

} // namespace

void addImportActions(ActionTable &table)
{
    table.add({QStringLiteral("make-samples"), true, QStringLiteral("DIR"),
               QStringLiteral("write the sample scene folders into DIR"), makeSamples},
              kValueIsPath);
    table.add({QStringLiteral("import"), true, QStringLiteral("ROOT"),
               QStringLiteral("import the scene folders of ROOT as the Import button does, then "
                              "print each scene's saved project"),
               startImport},
              kValueIsPath);
    HostAction scene{QStringLiteral("scene"), true, QStringLiteral("NAME"),
                     QStringLiteral("after --import: import only this scene (repeatable)"),
                     addScene};
    scene.continuesPrevious = true;
    table.add(scene);
}
