#include "testhost/core/TestHost.h"

#include "testhost/core/SuiteRegistry.h"
#include "testhost/project/ProjectHost.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <map>

namespace {
TestHost *g_host = nullptr; // the suites are C tables: they find their host here

SPErr acquireSuite(const char *name, int version, const void **suite)
{
    return g_host ? g_host->suites().acquire(name, version, suite) : kSPSuiteNotFoundError;
}

SPErr releaseSuite(const char *name, int version)
{
    return g_host ? g_host->suites().release(name, version) : kSPSuiteNotFoundError;
}

// The host passes one second in; a hook may lower it.
const A_long kIdleTicksIn = 60;
const AEGP_PluginID kFirstPluginId = 0x4b41;
// Command numbers handed out to plug-ins start well above the host's own (3, 5, 16, 2035).
const AEGP_Command kFirstUniqueCommand = 10000;
const int kMaxSnapSizes = 5;

QString fromUtf8(const A_u_char *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

struct CommandHookEntry
{
    AEGP_PluginID plugin;
    AEGP_HookPriority priority;
    AEGP_Command command;
    AEGP_CommandHook func;
    AEGP_CommandRefcon refcon;
};
template <typename Hook, typename Refcon> struct PlainHook
{
    AEGP_PluginID plugin;
    Hook func;
    Refcon refcon;
};
struct PanelHookEntry
{
    AEGP_PluginID plugin;
    AEGP_CreatePanelHook func;
    AEGP_CreatePanelRefcon refcon;
};

// One workspace panel: a tab of the frame while shown.
struct Panel
{
    int id = 0;
    QString name;
    QString title;
    bool hostOwned = false;
    QPointer<QWidget> container;
    AEGP_PanelFunctions1 functions{};
    AEGP_PanelRefcon refcon = nullptr;
    QVector<A_LPoint> snapSizes;
};
} // namespace

struct TestHost::Private
{
    SuiteRegistry suites;
    FaultPlan faults;
    SPBasicSuite basic{&acquireSuite, &releaseSuite};
    std::unique_ptr<ProjectHost> project;

    AEGP_CommandSuite1 commandSuite{};
    AEGP_RegisterSuite5 registerSuite{};
    AEGP_PanelSuite1 panelSuite{};
    PFAppSuite6 appSuite{};

    QLibrary library;
    bool loaded = false;
    AEGP_PluginID pluginId = kFirstPluginId;
    AEGP_GlobalRefcon globalRefcon = nullptr;

    AEGP_Command nextCommand = kFirstUniqueCommand;
    QVector<MenuEntry> menus;
    QVector<AEGP_Command> recorded;
    int commandDepth = 0;

    QVector<CommandHookEntry> commandHooks;
    QVector<PlainHook<AEGP_UpdateMenuHook, AEGP_UpdateMenuRefcon>> updateMenuHooks;
    QVector<PlainHook<AEGP_DeathHook, AEGP_DeathRefcon>> deathHooks;
    QVector<PlainHook<AEGP_IdleHook, AEGP_IdleRefcon>> idleHooks;
    std::map<QString, PanelHookEntry> panelHooks;
    QStringList hookNames;

    std::map<QString, Panel> panels;
    int nextPanelId = 1;
    QStringList frameTabs; // shown panels, in tab order
    QString front;
    QPointer<QTabWidget> frame;
    QTimer idleTimer;
    bool shutDown = false;

    Panel *panelById(AEGP_PanelH handle)
    {
        const int id = static_cast<int>(reinterpret_cast<quintptr>(handle));
        for (auto &entry : panels)
            if (entry.second.id == id)
                return &entry.second;
        return nullptr;
    }
    MenuEntry *entry(AEGP_Command command)
    {
        for (MenuEntry &e : menus)
            if (e.command == command)
                return &e;
        return nullptr;
    }
};

TestHost::TestHost(QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    g_host = this;
    installCoreSuites();
    d->project = std::make_unique<ProjectHost>(*this, d->suites, d->faults);
    d->idleTimer.setSingleShot(true);
    connect(&d->idleTimer, &QTimer::timeout, this, [this]() {
        const A_long ticks = idle(1);
        d->idleTimer.start(std::max<A_long>(1, ticks) * 1000 / 60);
    });
}

TestHost::~TestHost()
{
    d->idleTimer.stop();
    for (auto &entry : d->panels)
        delete entry.second.container.data();
    d->project.reset();
    if (g_host == this)
        g_host = nullptr;
}

#define HOST_FAULT(name)                                                                           \
    if (const A_Err fault = g_host->faults().check(name))                                          \
    return fault

void TestHost::installCoreSuites()
{
    AEGP_CommandSuite1 &c = d->commandSuite;
    c.AEGP_GetUniqueCommand = [](AEGP_Command *command) -> A_Err {
        HOST_FAULT("AEGP_GetUniqueCommand");
        if (!command)
            return A_Err_PARAMETER;
        *command = g_host->d->nextCommand++;
        return A_Err_NONE;
    };
    c.AEGP_InsertMenuCommand = [](AEGP_Command command, const A_char *name, AEGP_MenuID menu,
                                  A_long after) -> A_Err {
        HOST_FAULT("AEGP_InsertMenuCommand");
        if (!name || command == 0)
            return A_Err_PARAMETER;
        // The Window menu only takes sorted insertions, as on the real host.
        if (menu == AEGP_Menu_WINDOW && after != AEGP_MENU_INSERT_SORTED)
            return A_Err_PARAMETER;
        MenuEntry e;
        e.command = command;
        e.name = QString::fromUtf8(name);
        e.menu = menu;
        e.position = after;
        QVector<MenuEntry> &menus = g_host->d->menus;
        int at = menus.size();
        if (after == AEGP_MENU_INSERT_SORTED) {
            at = 0;
            while (at < menus.size() &&
                   (menus.at(at).menu != menu ||
                    QString::localeAwareCompare(menus.at(at).name, e.name) <= 0))
                ++at;
        } else if (after >= 0) {
            at = std::min<int>(after, menus.size());
        }
        menus.insert(at, e);
        Q_EMIT g_host->menusChanged();
        return A_Err_NONE;
    };
    c.AEGP_RemoveMenuCommand = [](AEGP_Command command) -> A_Err {
        HOST_FAULT("AEGP_RemoveMenuCommand");
        QVector<MenuEntry> &menus = g_host->d->menus;
        const auto before = menus.size();
        menus.erase(std::remove_if(menus.begin(), menus.end(),
                                   [command](const MenuEntry &e) { return e.command == command; }),
                    menus.end());
        return menus.size() == before ? A_Err_PARAMETER : A_Err_NONE;
    };
    c.AEGP_SetMenuCommandName = [](AEGP_Command command, const A_char *name) -> A_Err {
        HOST_FAULT("AEGP_SetMenuCommandName");
        MenuEntry *e = g_host->d->entry(command);
        if (!e || !name)
            return A_Err_PARAMETER;
        e->name = QString::fromUtf8(name);
        return A_Err_NONE;
    };
    c.AEGP_EnableCommand = [](AEGP_Command command) -> A_Err {
        HOST_FAULT("AEGP_EnableCommand");
        MenuEntry *e = g_host->d->entry(command);
        if (!e)
            return A_Err_PARAMETER;
        e->enabled = true;
        return A_Err_NONE;
    };
    c.AEGP_DisableCommand = [](AEGP_Command command) -> A_Err {
        HOST_FAULT("AEGP_DisableCommand");
        MenuEntry *e = g_host->d->entry(command);
        if (!e)
            return A_Err_PARAMETER;
        e->enabled = false;
        return A_Err_NONE;
    };
    c.AEGP_CheckMarkMenuCommand = [](AEGP_Command command, A_Boolean check) -> A_Err {
        HOST_FAULT("AEGP_CheckMarkMenuCommand");
        MenuEntry *e = g_host->d->entry(command);
        if (!e)
            return A_Err_PARAMETER;
        e->checked = check != 0;
        return A_Err_NONE;
    };
    c.AEGP_DoCommand = [](AEGP_Command command) -> A_Err {
        HOST_FAULT("AEGP_DoCommand");
        g_host->d->recorded.append(command);
        g_host->runCommand(command);
        return A_Err_NONE;
    };

    AEGP_RegisterSuite5 &r = d->registerSuite;
    r.AEGP_RegisterCommandHook = [](AEGP_PluginID plugin, AEGP_HookPriority priority,
                                    AEGP_Command command, AEGP_CommandHook func,
                                    AEGP_CommandRefcon refcon) -> A_Err {
        HOST_FAULT("AEGP_RegisterCommandHook");
        if (!func)
            return A_Err_PARAMETER;
        g_host->d->commandHooks.append({plugin, priority, command, func, refcon});
        g_host->d->hookNames.append(QStringLiteral("command"));
        return A_Err_NONE;
    };
    r.AEGP_RegisterUpdateMenuHook = [](AEGP_PluginID plugin, AEGP_UpdateMenuHook func,
                                       AEGP_UpdateMenuRefcon refcon) -> A_Err {
        HOST_FAULT("AEGP_RegisterUpdateMenuHook");
        if (!func)
            return A_Err_PARAMETER;
        g_host->d->updateMenuHooks.append({plugin, func, refcon});
        g_host->d->hookNames.append(QStringLiteral("update-menu"));
        return A_Err_NONE;
    };
    r.AEGP_RegisterDeathHook = [](AEGP_PluginID plugin, AEGP_DeathHook func,
                                  AEGP_DeathRefcon refcon) -> A_Err {
        HOST_FAULT("AEGP_RegisterDeathHook");
        if (!func)
            return A_Err_PARAMETER;
        g_host->d->deathHooks.append({plugin, func, refcon});
        g_host->d->hookNames.append(QStringLiteral("death"));
        return A_Err_NONE;
    };
    r.AEGP_RegisterIdleHook = [](AEGP_PluginID plugin, AEGP_IdleHook func,
                                 AEGP_IdleRefcon refcon) -> A_Err {
        HOST_FAULT("AEGP_RegisterIdleHook");
        if (!func)
            return A_Err_PARAMETER;
        g_host->d->idleHooks.append({plugin, func, refcon});
        g_host->d->hookNames.append(QStringLiteral("idle"));
        return A_Err_NONE;
    };

    AEGP_PanelSuite1 &p = d->panelSuite;
    p.AEGP_RegisterCreatePanelHook = [](AEGP_PluginID plugin, const A_u_char *matchName,
                                        AEGP_CreatePanelHook func, AEGP_CreatePanelRefcon refcon,
                                        A_Boolean) -> A_Err {
        HOST_FAULT("AEGP_RegisterCreatePanelHook");
        const QString name = fromUtf8(matchName);
        if (!func || name.isEmpty() || g_host->d->panelHooks.count(name))
            return A_Err_PARAMETER;
        g_host->d->panelHooks[name] = PanelHookEntry{plugin, func, refcon};
        g_host->d->hookNames.append(QStringLiteral("create-panel:") + name);
        return A_Err_NONE;
    };
    p.AEGP_UnRegisterCreatePanelHook = [](const A_u_char *matchName) -> A_Err {
        HOST_FAULT("AEGP_UnRegisterCreatePanelHook");
        const QString name = fromUtf8(matchName);
        if (!g_host->d->panelHooks.erase(name))
            return A_Err_PARAMETER;
        g_host->d->hookNames.removeAll(QStringLiteral("create-panel:") + name);
        return A_Err_NONE;
    };
    p.AEGP_SetTitle = [](AEGP_PanelH panelH, const A_u_char *title) -> A_Err {
        HOST_FAULT("AEGP_SetTitle");
        Panel *panel = g_host->d->panelById(panelH);
        if (!panel)
            return A_Err_PARAMETER;
        panel->title = fromUtf8(title);
        if (g_host->d->frame && panel->container) {
            const int index = g_host->d->frame->indexOf(panel->container);
            if (index >= 0)
                g_host->d->frame->setTabText(index, panel->title);
        }
        return A_Err_NONE;
    };
    p.AEGP_ToggleVisibility = [](const A_u_char *matchName) -> A_Err {
        HOST_FAULT("AEGP_ToggleVisibility");
        return g_host->toggleVisibility(fromUtf8(matchName));
    };
    p.AEGP_IsShown = [](const A_u_char *matchName, A_Boolean *shown,
                        A_Boolean *frontmost) -> A_Err {
        HOST_FAULT("AEGP_IsShown");
        bool front = false;
        const bool isShown = g_host->panelShown(fromUtf8(matchName), &front);
        if (shown)
            *shown = isShown;
        if (frontmost)
            *frontmost = front;
        return A_Err_NONE;
    };

    d->appSuite.PF_AppGetBgColor = [](void *) -> A_Err {
        HOST_FAULT("PF_AppGetBgColor");
        return A_Err_NONE;
    };

    d->suites.add(kAEGPCommandSuite, kAEGPCommandSuiteVersion1, &d->commandSuite);
    d->suites.add(kAEGPRegisterSuite, kAEGPRegisterSuiteVersion5, &d->registerSuite);
    d->suites.add(kAEGPWorkspacePanelSuite, kAEGPWorkspacePanelSuiteVersion1, &d->panelSuite);
    d->suites.add(kPFAppSuite, kPFAppSuiteVersion6, &d->appSuite);
}

TestHost *TestHost::instance()
{
    return g_host;
}
SuiteRegistry &TestHost::suites()
{
    return d->suites;
}
FaultPlan &TestHost::faults()
{
    return d->faults;
}
ProjectHost &TestHost::project()
{
    return *d->project;
}
SPBasicSuite *TestHost::basicSuite()
{
    return &d->basic;
}

bool TestHost::loadPlugin(const QString &path, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (d->loaded)
        return fail(QStringLiteral("a plug-in is already loaded"));
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("no such file: %1").arg(path));
    d->library.setFileName(path);
    if (!d->library.load())
        return fail(d->library.errorString());
    auto entry = reinterpret_cast<AEGP_EntryPointFunc>(d->library.resolve("EntryPointFunc"));
    if (!entry)
        return fail(QStringLiteral("%1 has no EntryPointFunc").arg(path));
    // The module stays loaded for the rest of the process, as on the real host.
    d->loaded = true;
    const A_Err err = entry(&d->basic, 13, 0, d->pluginId, &d->globalRefcon);
    if (err != A_Err_NONE)
        return fail(QStringLiteral("EntryPointFunc answered error %1").arg(err));
    console(QStringLiteral("loaded %1").arg(QFileInfo(path).fileName()));
    return true;
}

bool TestHost::pluginLoaded() const
{
    return d->loaded;
}
AEGP_GlobalRefcon TestHost::globalRefcon() const
{
    return d->globalRefcon;
}
QStringList TestHost::hooks() const
{
    return d->hookNames;
}

QVector<MenuEntry> TestHost::menu(AEGP_MenuID menu) const
{
    QVector<MenuEntry> result;
    for (const MenuEntry &e : d->menus)
        if (e.menu == menu)
            result.append(e);
    return result;
}

void TestHost::updateMenus()
{
    // Plug-in entries are disabled unless an update-menu hook enables them again.
    for (MenuEntry &e : d->menus)
        e.enabled = false;
    const auto hooks = d->updateMenuHooks;
    for (const auto &hook : hooks)
        hook.func(d->globalRefcon, hook.refcon, 0);
    Q_EMIT menusChanged();
}

bool TestHost::runCommand(AEGP_Command command)
{
    // A command that asks for itself again (through AEGP_DoCommand) stops here.
    if (d->commandDepth > 8)
        return false;
    ++d->commandDepth;
    const ProjectHost::Run run(project());
    A_Boolean handled = false;
    const auto hooks = d->commandHooks;
    for (const AEGP_HookPriority priority :
         {AEGP_HookPriority(AEGP_HP_BeforeAE), AEGP_HookPriority(AEGP_HP_AfterAE)}) {
        if (priority == AEGP_HP_AfterAE && !handled)
            Q_EMIT hostCommand(command);
        for (const CommandHookEntry &hook : hooks) {
            if (hook.priority != priority ||
                (hook.command != AEGP_Command_ALL && hook.command != command))
                continue;
            A_Boolean handledNow = handled;
            hook.func(d->globalRefcon, hook.refcon, command, priority, handled, &handledNow);
            handled = handled || handledNow;
        }
    }
    --d->commandDepth;
    return handled != 0;
}

bool TestHost::chooseWindowMenuEntry(const QString &name)
{
    updateMenus();
    for (const MenuEntry &e : menu(AEGP_Menu_WINDOW)) {
        if (e.name == name) {
            if (!e.enabled)
                return false;
            runCommand(e.command);
            return true;
        }
    }
    return false;
}

QVector<AEGP_Command> TestHost::recordedCommands() const
{
    return d->recorded;
}

A_long TestHost::idle(int rounds)
{
    A_long result = kIdleTicksIn;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0)
            QCoreApplication::processEvents();
        result = kIdleTicksIn;
        const ProjectHost::Run run(project());
        const auto hooks = d->idleHooks;
        for (const auto &hook : hooks) {
            A_long sleep = kIdleTicksIn;
            hook.func(d->globalRefcon, hook.refcon, &sleep);
            result = std::min(result, std::max<A_long>(0, sleep));
        }
    }
    return result;
}

void TestHost::startIdleTimer()
{
    d->idleTimer.start(0);
}

bool TestHost::panelShown(const QString &matchName, bool *frontmost) const
{
    const bool shown = d->frameTabs.contains(matchName);
    if (frontmost)
        *frontmost = shown && d->front == matchName;
    return shown;
}

QWidget *TestHost::panelContainer(const QString &matchName) const
{
    auto it = d->panels.find(matchName);
    return it == d->panels.end() ? nullptr : it->second.container.data();
}

QVector<A_LPoint> TestHost::panelSnapSizes(const QString &matchName) const
{
    auto it = d->panels.find(matchName);
    return it == d->panels.end() ? QVector<A_LPoint>() : it->second.snapSizes;
}

void TestHost::setPanelFrame(QWidget *frame)
{
    d->frame = qobject_cast<QTabWidget *>(frame);
    if (!d->frame)
        return;
    connect(d->frame.data(), &QTabWidget::currentChanged, this, [this](int index) {
        QWidget *page = d->frame ? d->frame->widget(index) : nullptr;
        for (auto &entry : d->panels)
            if (page && entry.second.container == page)
                d->front = entry.first;
    });
}

// Shows a panel as a new front tab; the plug-in's panels are built by their create hook.
static void showInFrame(TestHost *, QWidget *container, const QString &title, QTabWidget *frame)
{
    if (frame) {
        frame->setCurrentIndex(frame->addTab(container, title));
    } else {
        container->setWindowTitle(title);
        container->resize(500, 700);
        container->show();
    }
}

A_Err TestHost::toggleVisibility(const QString &matchName)
{
    const bool known = d->panelHooks.count(matchName) || d->panels.count(matchName);
    if (!known)
        return A_Err_PARAMETER;
    bool frontmost = false;
    if (panelShown(matchName, &frontmost)) {
        if (frontmost) {
            // Closing destroys the container, and with it the plug-in's panel; the panel sees
            // a close first so it can save its settings.
            Panel &panel = d->panels[matchName];
            d->frameTabs.removeAll(matchName);
            d->front = d->frameTabs.isEmpty() ? QString() : d->frameTabs.last();
            if (QWidget *container = panel.container) {
                panel.container = nullptr;
                container->close();
                container->hide();
                if (d->frame)
                    d->frame->removeTab(d->frame->indexOf(container));
                container->deleteLater();
            }
            panel.refcon = nullptr;
        } else {
            bringToFront(matchName);
        }
        return A_Err_NONE;
    }

    Panel &panel = d->panels[matchName];
    if (panel.id == 0) {
        panel.id = d->nextPanelId++;
        panel.name = matchName;
        panel.title = matchName;
    }
    auto *container = new QWidget; // owned by the frame, or by us when top-level
    container->setObjectName(matchName);
    panel.container = container;
    // A container destroyed from outside (its window closed and deleted) leaves the workspace;
    // a container already replaced by a newer one does not touch the newer one's state.
    connect(container, &QObject::destroyed, this, [this, matchName](QObject *gone) {
        auto it = d->panels.find(matchName);
        QWidget *current = it == d->panels.end() ? nullptr : it->second.container.data();
        if (it == d->panels.end() || (current && current != gone))
            return;
        it->second.container = nullptr;
        d->frameTabs.removeAll(matchName);
        if (d->front == matchName)
            d->front = d->frameTabs.isEmpty() ? QString() : d->frameTabs.last();
        it->second.refcon = nullptr;
    });
    d->frameTabs.append(matchName);
    d->front = matchName;
    showInFrame(this, container, panel.title, d->frame);
    Q_EMIT panelContainerCreated(matchName, container);

    auto hook = d->panelHooks.find(matchName);
    if (hook != d->panelHooks.end() && !panel.hostOwned) {
        panel.functions = AEGP_PanelFunctions1{};
        panel.refcon = nullptr;
#ifdef Q_OS_WIN
        // The module built for Windows embeds in a native window, as the real host gives it.
        const auto view = reinterpret_cast<AEGP_PlatformViewRef>(container->winId());
#else
        const auto view = static_cast<AEGP_PlatformViewRef>(container);
#endif
        hook->second.func(d->globalRefcon, hook->second.refcon, view,
                          reinterpret_cast<AEGP_PanelH>(quintptr(panel.id)), &panel.functions,
                          &panel.refcon);
        panel.snapSizes.clear();
        if (panel.functions.GetSnapSizes) {
            A_LPoint sizes[kMaxSnapSizes] = {};
            A_long count = kMaxSnapSizes;
            if (panel.functions.GetSnapSizes(panel.refcon, sizes, &count) == A_Err_NONE)
                for (A_long i = 0; i < std::min<A_long>(count, kMaxSnapSizes); ++i)
                    panel.snapSizes.append(sizes[i]);
        }
        if (!panel.refcon)
            console(QStringLiteral("panel %1: the plug-in built no panel").arg(matchName));
    }
    return A_Err_NONE;
}

void TestHost::addHostPanel(const QString &name)
{
    Panel &panel = d->panels[name];
    if (panel.id == 0) {
        panel.id = d->nextPanelId++;
        panel.name = name;
        panel.title = name;
    }
    panel.hostOwned = true;
    if (panelShown(name))
        bringToFront(name);
    else
        toggleVisibility(name);
}

bool TestHost::bringToFront(const QString &matchName)
{
    if (!panelShown(matchName))
        return false;
    d->front = matchName;
    QWidget *container = panelContainer(matchName);
    if (d->frame && container)
        d->frame->setCurrentWidget(container);
    else if (container)
        container->raise();
    return true;
}

void TestHost::shutdown()
{
    if (d->shutDown)
        return;
    d->shutDown = true;
    d->idleTimer.stop();
    // The windows go first (each panel closes and saves), then the death hooks.
    for (auto &entry : d->panels) {
        if (QWidget *container = entry.second.container) {
            container->close();
            delete container;
        }
    }
    d->frameTabs.clear();
    d->front.clear();
    const auto hooks = d->deathHooks;
    for (const auto &hook : hooks)
        hook.func(d->globalRefcon, hook.refcon);
}

void TestHost::console(const QString &line)
{
    Q_EMIT consoleLine(line);
}

void TestHost::requestQuit(int exitCode)
{
    console(QStringLiteral("app.quit() with exit status %1").arg(exitCode));
    Q_EMIT quitRequested(exitCode);
}
