#include "testhost/app/HostActions.h"

#include "testhost/core/SuiteRegistry.h"
#include "testhost/core/TestHost.h"

namespace {

bool printMenu(HostRun &run, const QString &)
{
    if (!run.ensurePlugin())
        return false;
    run.host->updateMenus();
    for (const MenuEntry &e : run.host->menu(AEGP_Menu_WINDOW))
        *run.out << (e.checked ? 'x' : '-') << ' ' << (e.enabled ? 'e' : 'd') << ' ' << e.name
                 << '\n';
    run.out->flush();
    return true;
}

bool chooseCommand(HostRun &run, const QString &name)
{
    if (!run.ensurePlugin())
        return false;
    if (run.host->chooseWindowMenuEntry(name))
        return true;
    *run.err << "cellkit-host: no enabled Window menu entry named " << name << Qt::endl;
    return false;
}

bool runIdle(HostRun &run, const QString &value)
{
    bool ok = false;
    const int rounds = value.toInt(&ok);
    if (!ok || rounds < 0) {
        *run.err << "cellkit-host: --idle needs a count, not " << value << Qt::endl;
        return false;
    }
    if (!run.ensurePlugin())
        return false;
    run.host->idle(rounds);
    return true;
}

bool printCommands(HostRun &run, const QString &)
{
    for (AEGP_Command command : run.host->recordedCommands())
        *run.out << command << '\n';
    run.out->flush();
    return true;
}

bool printHooks(HostRun &run, const QString &)
{
    if (!run.ensurePlugin())
        return false;
    for (const QString &hook : run.host->hooks())
        *run.out << hook << '\n';
    *run.out << "held suites: " << run.host->suites().totalHeld() << '\n';
    run.out->flush();
    return true;
}

bool refuseSuite(HostRun &run, const QString &name)
{
    if (run.host->pluginLoaded())
        *run.err << "cellkit-host: note: --refuse-suite after the plug-in was loaded" << Qt::endl;
    run.host->suites().refuse(name.toUtf8());
    return true;
}

bool failCall(HostRun &run, const QString &value)
{
    const int eq = value.indexOf(QLatin1Char('='));
    bool ok = false;
    const int code = eq > 0 ? value.mid(eq + 1).toInt(&ok) : 0;
    if (!ok || code == 0) {
        *run.err << "cellkit-host: --fail-call needs NAME=CODE with a non-zero code, not "
                 << value << Qt::endl;
        return false;
    }
    run.host->faults().failCall(value.left(eq).toUtf8(), code);
    return true;
}

bool setPlugin(HostRun &run, const QString &path)
{
    run.pluginPath = path;
    return run.ensurePlugin();
}

} // namespace

void addCoreActions(ActionTable &table)
{
    table.add({QStringLiteral("refuse-suite"), true, QStringLiteral("NAME"),
               QStringLiteral("serve no suite of that name (give it before the plug-in loads)"),
               refuseSuite});
    table.add({QStringLiteral("fail-call"), true, QStringLiteral("NAME=CODE"),
               QStringLiteral("make a host call answer that error, e.g. AEGP_IsShown=3"),
               failCall});
    table.add({QStringLiteral("plugin"), true, QStringLiteral("FILE"),
               QStringLiteral("load that plug-in module (default: the one beside the program)"),
               setPlugin},
              kValueIsPath);
    table.add({QStringLiteral("menu"), false, QString(),
               QStringLiteral("print the Window menu: check mark (x/-), enabled (e/d), name"),
               printMenu});
    table.add({QStringLiteral("command"), true, QStringLiteral("NAME"),
               QStringLiteral("choose that Window menu entry"), chooseCommand});
    table.add({QStringLiteral("idle"), true, QStringLiteral("N"),
               QStringLiteral("run N idle rounds"), runIdle});
    table.add({QStringLiteral("print-commands"), false, QString(),
               QStringLiteral("print the host commands the plug-in ran, one per line"),
               printCommands});
    table.add({QStringLiteral("print-hooks"), false, QString(),
               QStringLiteral("print the registered hooks and the count of held suites"),
               printHooks});
}
