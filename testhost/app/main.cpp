// cellkit-host: the test host program. Without options it opens a window; with --headless it
// runs the command-line actions in the order given and exits.
#include "testhost/app/HostActions.h"
#include "testhost/app/HostWindow.h"
#include "testhost/app/PanelAccess.h"
#include "testhost/core/TestHost.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void printUsage(const ActionTable &table, QTextStream &out)
{
    out << "usage: cellkit-host [--headless] [--version] [ACTION...]\n"
        << "With CELLKIT_JOB set and nothing on the command line: a farm job's session, run\n"
        << "until the plug-in quits it (exit status: the plug-in's app.exitCode).\n"
        << "Actions run in the order given:\n";
    for (const HostAction &a : table.all()) {
        QString left = QStringLiteral("  --") + a.name;
        if (a.takesValue)
            left += QLatin1Char(' ') + a.valueName;
        out << left.leftJustified(28) << ' ' << a.help << '\n';
    }
}

// Headless runs, and the runs that only print (version, usage), need no display.
bool wantsHeadless(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"--headless", "--version", "--help", "-h"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

// A relative path on the command line names a file of the folder the program started in, even
// after an import has made a scene folder the current one.
void resolvePathValues(const HostAction &action, const QDir &startFolder, QStringList &values)
{
    for (int index : action.pathValues) {
        if (index < values.size() && !values[index].isEmpty() &&
            values[index] != QLatin1String("-"))
            values[index] = startFolder.absoluteFilePath(values[index]);
    }
}

// Runs the work left waiting by an earlier action; false when one of them failed.
bool runPending(HostRun &run)
{
    std::vector<std::function<bool()>> work;
    work.swap(run.pending);
    bool ok = true;
    for (const auto &step : work)
        ok = step() && ok;
    return ok;
}

// A farm node starts the host for a job with CELLKIT_JOB set and nothing on the command line,
// as it starts the real host: the plug-in runs the job at its first idle call, then ends the
// session with app.quit(); the exit status is the script's app.exitCode.
int runJobSession(HostRun &run)
{
    if (!run.ensurePlugin())
        return 1;
    QObject::connect(run.host, &TestHost::quitRequested, qApp,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    run.host->startIdleTimer();
    const int status = QCoreApplication::exec();
    run.host->shutdown();
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    const bool jobSession = argc == 1 && !qEnvironmentVariableIsEmpty("CELLKIT_JOB");
    const bool headless = jobSession || wantsHeadless(argc, argv);
    const QDir startFolder = QDir::current();
    // Headless runs draw nowhere. On Windows the module embeds through native windows, which
    // the offscreen platform does not make: there they keep the Windows platform, and a panel
    // opened top-level shows on the desktop (nothing is drawn under Wine's null display driver).
#ifndef Q_OS_WIN
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Our options are read from argv here: Qt would take some of them for its own (--plugin
    // is one of Qt's), so the application sees only the program name.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("cellkit-host"));
    QApplication::setApplicationVersion(QStringLiteral(CELLKIT_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    ActionTable table;
    addCoreActions(table);
    addProjectActions(table);
    addPanelActions(table);
    addImportActions(table);
    addCreateSceneActions(table);
    addRenderActions(table);

    TestHost host;
    HostRun run;
    run.host = &host;
    run.headless = headless;
    run.out = &out;
    run.err = &err;
    // Every dialog is printed; headless, nobody is there to answer it: it takes its default.
    startDialogWatcher(run);
    run.pluginPath = QDir(QCoreApplication::applicationDirPath())
                         .filePath(QStringLiteral(CELLKIT_MODULE_FILE));
    run.ensurePlugin = [&run]() {
        if (run.host->pluginLoaded())
            return true;
        QString error;
        if (run.host->loadPlugin(run.pluginPath, &error))
            return true;
        *run.err << "cellkit-host: cannot load plug-in " << run.pluginPath << ": " << error
                 << Qt::endl;
        return false;
    };

    if (jobSession)
        return runJobSession(run);

    // In window mode the window is up before the actions run: a panel they open docks in its
    // frame, and the dialogs they open show over it.
    std::unique_ptr<HostWindow> window;
    if (!headless) {
        window = std::make_unique<HostWindow>(host);
        window->show();
    }

    int status = 0;
    for (int i = 0; i < args.size() && status == 0; ++i) {
        const QString arg = args.at(i);
        if (arg == QLatin1String("--headless"))
            continue;
        if (arg == QLatin1String("--version")) {
            out << "cellkit-host " << CELLKIT_VERSION << Qt::endl;
            return 0;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printUsage(table, out);
            return 0;
        }
        const HostAction *action =
            arg.startsWith(QLatin1String("--")) ? table.find(arg.mid(2)) : nullptr;
        if (!action) {
            err << "cellkit-host: unknown option " << arg << " (see --help)" << Qt::endl;
            return 2;
        }
        if (!action->continuesPrevious && !runPending(run)) {
            status = 1;
            break;
        }
        QString value;
        run.values.clear();
        if (action->takesValue) {
            if (i + action->valueCount >= args.size()) {
                err << "cellkit-host: " << arg << " needs " << action->valueName << Qt::endl;
                return 2;
            }
            run.values = args.mid(i + 1, action->valueCount);
            resolvePathValues(*action, startFolder, run.values);
            value = run.values.first();
            i += action->valueCount;
        }
        if (!action->run(run, value))
            status = 1;
    }

    if (status == 0 && !runPending(run))
        status = 1;
    if (status == 0 && !headless) {
        if (run.ensurePlugin()) {
            window->show();
            // A script's app.quit() closes the host, as it closes the real one.
            QObject::connect(&host, &TestHost::quitRequested, &app,
                             [](int exitCode) { QCoreApplication::exit(exitCode); });
            host.startIdleTimer();
            status = app.exec();
        } else {
            status = 1;
        }
        host.shutdown(); // while the window and its panel frame still exist
    } else if (status == 0 && !run.host->pluginLoaded()) {
        // A headless run without actions still loads the plug-in and says what it loaded.
        if (!run.ensurePlugin())
            status = 1;
    }
    for (const auto &work : run.atExit)
        if (!work() && status == 0)
            status = 1;
    host.shutdown();
    out.flush();
    err.flush();
    return status;
}
