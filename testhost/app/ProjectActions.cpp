#include "testhost/app/HostActions.h"

#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(json) == json.size() && f.commit())
        return true;
    *run.err << "cellkit-host: cannot write dump " << path << ": " << f.errorString() << Qt::endl;
    return false;
}

} // namespace

void addProjectActions(ActionTable &table)
{
    table.add({QStringLiteral("project"), true, QStringLiteral("FILE"),
               QStringLiteral("open a saved test host project"), openProject});
    table.add({QStringLiteral("run-script"), true, QStringLiteral("FILE"),
               QStringLiteral("run an ExtendScript file; prints its result and error texts"),
               runScript});
    table.add({QStringLiteral("save"), true, QStringLiteral("FILE"),
               QStringLiteral("save the open project"), saveProject});
    table.add({QStringLiteral("dump"), true, QStringLiteral("FILE"),
               QStringLiteral("write the project and host state as JSON (\"-\": standard output)"),
               dumpProject});
}
