#include "HostProcess.h"

#include <QProcess>

HostProcessRun runHost(const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("CELLKIT_TEST_HOST"),
                  QStringList{QStringLiteral("--headless")} + args);
    HostProcessRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
