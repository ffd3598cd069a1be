#include "HostProcess.h"

#include <QCoreApplication>
#include <QProcess>

HostProcessRun runHost(const QStringList &args, const QProcessEnvironment &env,
                       const QString &folder)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
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

bool runSelfScenario(const QString &variable, const QByteArray &scenario, QByteArray *output)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(variable, QString::fromLatin1(scenario));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    const bool finished = child.waitForFinished(60000);
    *output = child.readAll();
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}
