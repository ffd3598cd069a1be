#include "testhost/app/HostActions.h"
#include "testhost/app/OutputFiles.h"

#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

namespace {

bool openProject(HostRun &run, const QString &path)
{
    QString error;
    if (run.host->project().openProject(path, &error))
        return true;
    *run.err << "cellkit-host: " << error << Qt::endl;
    return false;
}

// Runs a script file as the plug-in would (through the host's script engine) and prints the
// two texts the host hands back. A script error is output, not a failure of the run.
bool runScript(HostRun &run, const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *run.err << "cellkit-host: cannot read script " << path << ": " << f.errorString()
                 << Qt::endl;
        return false;
    }
    QString result, error;
    run.host->project().runScript(QString::fromUtf8(f.readAll()), &result, &error,
                                  QFileInfo(path).absoluteFilePath());
    *run.out << "result: " << result << '\n' << "error: " << error << '\n';
    run.out->flush();
    return true;
}

bool saveProject(HostRun &run, const QString &path)
{
    QString error;
    if (run.host->project().saveProject(path, &error))
        return true;
    *run.err << "cellkit-host: " << error << Qt::endl;
    return false;
}

bool dumpProject(HostRun &run, const QString &path)
{
    const QByteArray json = run.host->project().dump();
    if (path == QLatin1String("-")) {
        *run.out << QString::fromUtf8(json);
        run.out->flush();
        return true;
    }
    QString error;
    if (writeOutputFile(json, path, &error))
        return true;
    *run.err << "cellkit-host: cannot write dump (" << error << ")" << Qt::endl;
    return false;
}

// The test host's window (created before the actions run in window mode), or null.
QMainWindow *hostWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<QMainWindow *>(w))
            return main;
    return nullptr;
}

// Window mode: "WxH", e.g. 1280x1000 for a picture of a tall panel, or 400x600 for a narrow one.
bool resizeWindow(HostRun &run, const QString &value)
{
    const QStringList parts = value.split(QLatin1Char('x'));
    bool okWidth = false, okHeight = false;
    const int width = parts.value(0).toInt(&okWidth);
    const int height = parts.value(1).toInt(&okHeight);
    QMainWindow *window = hostWindow();
    if (run.headless || !window) {
        *run.err << "cellkit-host: --window-size needs the window (no --headless)" << Qt::endl;
        return false;
    }
    if (parts.size() != 2 || !okWidth || !okHeight || width <= 0 || height <= 0) {
        *run.err << "cellkit-host: --window-size needs WxH, not " << value << Qt::endl;
        return false;
    }
    window->resize(width, height);
    return true;
}

// Window mode: once the window has been up for a moment, saves a picture of it and quits.
// "FILE" or "FILE,MS" (default 1500 ms).
bool screenshot(HostRun &run, const QString &value)
{
    if (run.headless) {
        *run.err << "cellkit-host: --screenshot needs the window (no --headless)" << Qt::endl;
        return false;
    }
    // The last comma: the path before it was made absolute and may hold commas of its own.
    const int comma = value.lastIndexOf(QLatin1Char(','));
    const QString path = comma < 0 ? value : value.left(comma);
    bool ok = true;
    const int delay = comma < 0 ? 1500 : value.mid(comma + 1).toInt(&ok);
    if (path.isEmpty() || !ok || delay < 0) {
        *run.err << "cellkit-host: --screenshot needs FILE or FILE,MS, not " << value << Qt::endl;
        return false;
    }
    QTextStream *err = run.err;
    QTimer::singleShot(delay, qApp, [path, err]() {
        QMainWindow *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *main = qobject_cast<QMainWindow *>(w); main && main->isVisible())
                window = main;
        QString error = QStringLiteral("no window");
        if (window && writeImageFile(window->grab().toImage(), path, &error)) {
            QApplication::exit(0);
            return;
        }
        *err << "cellkit-host: cannot save a picture of the window: " << error << Qt::endl;
        QApplication::exit(1);
    });
    return true;
}

} // namespace

void addProjectActions(ActionTable &table)
{
    table.add({QStringLiteral("project"), true, QStringLiteral("FILE"),
               QStringLiteral("open a saved test host project"), openProject},
              kValueIsPath);
    table.add({QStringLiteral("run-script"), true, QStringLiteral("FILE"),
               QStringLiteral("run an ExtendScript file; prints its result and error texts"),
               runScript},
              kValueIsPath);
    table.add({QStringLiteral("save"), true, QStringLiteral("FILE"),
               QStringLiteral("save the open project"), saveProject},
              kValueIsPath);
    table.add({QStringLiteral("dump"), true, QStringLiteral("FILE"),
               QStringLiteral("write the project and host state as JSON (\"-\": standard output)"),
               dumpProject},
              kValueIsPath);
    table.add(
        {QStringLiteral("screenshot"), true, QStringLiteral("FILE[,MS]"),
         QStringLiteral("window mode: save a picture of the window after MS (1500) ms and quit"),
         screenshot},
        kValueIsPath);
    table.add({QStringLiteral("window-size"), true, QStringLiteral("WxH"),
               QStringLiteral("window mode: resize the window (it opens at 1280x800)"),
               resizeWindow});
}
