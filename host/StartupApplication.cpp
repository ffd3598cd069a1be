#include "host/StartupApplication.h"

#include "board/Appearance.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>

#include <cstdlib>
#ifdef Q_OS_WIN
#include "host/embed/win32/NativeProcess.h"
#else
#include <dlfcn.h>
#endif

namespace {
// Qt keeps references to argc and argv for the application's whole life.
int g_argc = 1;
char g_programName[] = "cellKit4After";
char g_platformOption[] = "-platform";
char g_offscreen[] = "offscreen";
char *g_argv[] = {g_programName, nullptr, nullptr, nullptr};

#ifdef Q_OS_WIN
void keepModuleLoaded()
{
    NativeProcess::pinOwnModule();
}

bool hasDisplay()
{
    return true;
}

// Qt looks for its plug-ins (the "windows" platform above all) beside the program, which is the
// host's; windeployqt puts ours beside the module.
void addModuleFolderToLibraryPaths()
{
    const QString module = QString::fromStdWString(NativeProcess::ownModuleFileName());
    if (!module.isEmpty())
        QCoreApplication::addLibraryPath(QFileInfo(module).absolutePath());
}

// The host, not Qt, runs the message loop: every message it fetches lets Qt deliver what was
// posted (queued signals, layout requests). Deferred deletes (the panel after the host destroyed
// its window) wait for a Qt event loop that never runs here unless asked for by name; at a
// message fetch no handler of the current level is on the stack.
void drivePostedEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
#else
void keepModuleLoaded()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&keepModuleLoaded), &info) && info.dli_fname)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NODELETE);
}

bool hasDisplay()
{
    return std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY")
        || std::getenv("WAYLAND_DISPLAY");
}
#endif
} // namespace

void applyStartupAppearance(QApplication &)
{
    // The palette first: it is what the colour table captures as "System" (Qt's own default),
    // and an application palette set explicitly survives the change of style.
    QApplication::setPalette(Appearance::startupPalette());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

bool ensureQtApplication()
{
    if (QCoreApplication::instance())
        return false;
    // Without any display Qt would end the host process; draw off screen instead.
    if (!hasDisplay()) {
        g_argv[1] = g_platformOption;
        g_argv[2] = g_offscreen;
        g_argc = 3;
    }
#ifdef Q_OS_WIN
    addModuleFolderToLibraryPaths();
    NativeProcess::installMessageHook(&drivePostedEvents);
#endif
    // Deliberately never deleted: it must outlive every widget of the plug-in, and the host
    // never unloads us.
    static QApplication *app = new QApplication(g_argc, g_argv);
    keepModuleLoaded();
    applyStartupAppearance(*app);
    return true;
}
