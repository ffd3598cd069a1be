#pragma once

#include "host/aegp.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class QWidget;
class SuiteRegistry;
class FaultPlan;
class ProjectHost;

// One entry of a host menu, as the plug-in inserted it.
struct MenuEntry
{
    AEGP_Command command = 0;
    QString name;
    AEGP_MenuID menu = AEGP_Menu_NONE;
    A_long position = AEGP_MENU_INSERT_SORTED;
    bool enabled = false;
    bool checked = false;
};

// The stand-in for the host application: serves the basic suite and every suite the plug-in
// declares, keeps the menus, hooks and workspace panels, and owns the project model.
//
// The suites are plain C tables, so their functions find the host through instance(); exactly
// one TestHost exists at a time.
class TestHost : public QObject
{
    Q_OBJECT
public:
    explicit TestHost(QObject *parent = nullptr);
    ~TestHost() override;

    static TestHost *instance();

    SuiteRegistry &suites();
    FaultPlan &faults();
    ProjectHost &project();
    SPBasicSuite *basicSuite();

    // Loads the module and calls its EntryPointFunc. False with a readable error otherwise.
    bool loadPlugin(const QString &path, QString *error);
    bool pluginLoaded() const;

    // Menus: updateMenus() calls the update-menu hooks, as the host does before showing one.
    QVector<MenuEntry> menu(AEGP_MenuID menu) const;
    void updateMenus();
    // Routes a command through the command hooks (before-host hooks first); true if handled.
    bool runCommand(AEGP_Command command);
    // Chooses the Window menu entry of that name as a user would; false when there is none.
    bool chooseWindowMenuEntry(const QString &name);
    // Commands the plug-in asked the host to run (AEGP_DoCommand), in order.
    QVector<AEGP_Command> recordedCommands() const;

    // Idle: calls every idle hook once per round; returns the last maximum sleep (ticks).
    A_long idle(int rounds = 1);

    // Workspace panels, by match name.
    bool panelShown(const QString &matchName, bool *frontmost = nullptr) const;
    QWidget *panelContainer(const QString &matchName) const;
    // The widget that holds panel containers as tabs (the window's dock frame); when null,
    // containers are top-level widgets (headless runs).
    void setPanelFrame(QWidget *frame);

    // Calls the death hooks (once).
    void shutdown();

    // A host-owned panel (e.g. "Project") shown in the same frame, in front.
    void addHostPanel(const QString &name);
    // Puts a shown panel in front of its frame; false when it is not shown.
    bool bringToFront(const QString &matchName);
    // What AEGP_ToggleVisibility does, as the host's own Window menu would.
    A_Err toggleVisibility(const QString &matchName);

    // The registered hooks, one text each ("command", "idle", "update-menu", "death",
    // "create-panel:<match name>"), in registration order.
    QStringList hooks() const;
    AEGP_GlobalRefcon globalRefcon() const;
    // Snap sizes the panel answered when it was created.
    QVector<A_LPoint> panelSnapSizes(const QString &matchName) const;
    // Window mode: idle rounds on a timer that follows the returned maximum sleep.
    void startIdleTimer();

    // A line for the host console (script alerts, $.writeln, host notes).
    void console(const QString &line);
    // A script's app.quit(): the session is to end with app.exitCode as its exit status.
    void requestQuit(int exitCode);

Q_SIGNALS:
    void consoleLine(const QString &line);
    void quitRequested(int exitCode);
    void menusChanged();
    void panelContainerCreated(const QString &matchName, QWidget *container);
    // A host command (AEGP_DoCommand or a menu command nobody handled) for the host's own work.
    void hostCommand(AEGP_Command command);

private:
    void installCoreSuites();
    struct Private;
    std::unique_ptr<Private> d;
};
