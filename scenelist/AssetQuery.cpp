#include "scenelist/AssetQuery.h"

#include "support/LogSink.h"
#include "support/Prompts.h"
#include "support/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

// Outside any namespace, as the macro requires. The resources live in a static library:
// without this call the linker may drop them.
static void initResources()
{
    Q_INIT_RESOURCE(scenelist_core);
}

namespace {

QStringList outputLines(const QByteArray &output)
{
    QStringList lines;
    const QStringList raw = QString::fromUtf8(output).split(QLatin1Char('\n'));
    for (QString line : raw) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

} // namespace

AssetQuery::AssetQuery()
{
    initResources();
}

QString AssetQuery::defaultInterpreter()
{
    for (const char *name : {"python3", "python"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString AssetQuery::scriptPath() const
{
    const QString folder = m_scriptFolder.isEmpty() ? QDir::currentPath() : m_scriptFolder;
    return QStringLiteral("%1/%2").arg(folder, scriptFileName());
}

void AssetQuery::setTimeLimits(int startMs, int finishMs)
{
    m_startLimit = startMs;
    m_finishLimit = finishMs;
}

bool AssetQuery::CreateShotgunScriptApi()
{
    const QString path = scriptPath();
    appendLog(QStringLiteral("-INF- CreateShotgunScriptApi : Creation Fichier ") + path);
    QFile resource(QStringLiteral(":/Scripts/ShotgunApiGet.py"));
    // The resource is always there: it is compiled into the plug-in.
    resource.open(QIODevice::ReadOnly);
    QString error;
    // The configuration folder exists only once a configuration was saved.
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool written = writeWholeFile(path, resource.readAll(), &error);
    if (!written) {
        appendLog(
            QStringLiteral("-ERR- CreateShotgunScriptApi : %1 not written: %2").arg(path, error));
    }
    return written;
}

bool AssetQuery::shotgunQuery(const QString &name, QStringList *results, const QString &fishParam)
{
    results->clear();
    if (!QFileInfo(m_interpreter).isFile()) {
        Prompts::current().warning(m_dialogParent, QStringLiteral("Warning"),
                                   QStringLiteral("Python.exe non trouvé [%1]").arg(m_interpreter));
        return false;
    }
    // Checked at every query: the user may delete the file while the plug-in lives.
    if (!QFileInfo::exists(scriptPath()) && !CreateShotgunScriptApi())
        return false;

    const QStringList arguments{scriptPath(), name, fishParam};
    appendLog(QStringLiteral("Python Call : ") + arguments.join(QLatin1Char(' ')));
    QProcess process;
    // Paths with any character come back intact whatever the console's code page.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    process.setProcessEnvironment(environment);
    process.start(m_interpreter, arguments);
    if (!process.waitForStarted(m_startLimit)) {
        appendLog(QStringLiteral("-ERR- shotgunQuery : %1 did not start: %2")
                      .arg(m_interpreter, process.errorString()));
        return false;
    }
    if (!process.waitForFinished(m_finishLimit)) {
        process.kill();
        process.waitForFinished(1000);
        appendLog(QStringLiteral("-ERR- shotgunQuery : no answer for [%1] within %2 ms")
                      .arg(name, QString::number(m_finishLimit)));
        return false;
    }
    const QStringList lines = outputLines(process.readAllStandardOutput());
    if (lines.value(0) == QLatin1String("ERROR"))
        return false;
    if (lines.value(0) != QLatin1String("None"))
        *results = lines;
    return true;
}
