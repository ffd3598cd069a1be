#include "farm/FarmSubmit.h"

#include "farm/FarmPlan.h"
#include "support/WholeFile.h"

#include <QFile>
#include <QProcess>

namespace {

QString posixQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// A control character would end the line the command stands on and start another.
bool isOneLine(const QString &text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString slurmScript(const FarmPlan &plan, const SubmitRequest &request, int roundNumber,
                    QString *error)
{
    const PlanRound &round = plan.rounds.last();
    // sbatch reads the output path as a pattern (%a the task): a % of the folder stays itself.
    QString output = plan.absolute(QStringLiteral("logs/round-%1-task-").arg(roundNumber));
    if (output.contains(QLatin1Char('"'))) {
        *error = QStringLiteral("a plan folder whose path holds a double quote cannot be "
                                "named in an #SBATCH line; move the plan");
        return QString();
    }
    output.replace(QLatin1Char('%'), QLatin1String("%%"));
    QStringList lines{
        QStringLiteral("#!/bin/bash"),
        QStringLiteral("# cellkit-farm: round %1 of the plan %2, one array task per job file.")
            .arg(roundNumber)
            .arg(plan.folder()),
        QStringLiteral("#SBATCH --job-name=cellkit-farm"),
        QStringLiteral("#SBATCH --array=0-%1").arg(round.jobs.size() - 1),
        QStringLiteral("#SBATCH --output=\"%1%a.out\"").arg(output),
        QStringLiteral("#SBATCH --ntasks=1"),
    };
    for (const QString &option : request.schedulerOptions)
        lines << QStringLiteral("#SBATCH ") + option;
    lines << QStringLiteral("jobs=(");
    for (const PlanJob &job : round.jobs)
        lines << QStringLiteral("    ") + posixQuoted(plan.absolute(job.file));
    lines << QStringLiteral(")")
          << QStringLiteral("export CELLKIT_JOB=\"${jobs[$SLURM_ARRAY_TASK_ID]}\"")
          << QStringLiteral("echo \"cellkit-farm: $CELLKIT_JOB on $(hostname)\" >&2")
          << request.hostCommand;
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool runSbatch(const QString &script, QString *jobId, QString *error)
{
    QProcess sbatch;
    sbatch.start(QStringLiteral("sbatch"), {QStringLiteral("--parsable"), script});
    if (!sbatch.waitForStarted(10000)) {
        *error = QStringLiteral("sbatch cannot be started: %1").arg(sbatch.errorString());
        return false;
    }
    if (!sbatch.waitForFinished(60000) || sbatch.exitStatus() != QProcess::NormalExit ||
        sbatch.exitCode() != 0) {
        *error = QStringLiteral("sbatch refused the script: %1")
                     .arg(QString::fromLocal8Bit(sbatch.readAllStandardError()).trimmed());
        return false;
    }
    // --parsable prints "id" or "id;cluster".
    *jobId = QString::fromLocal8Bit(sbatch.readAllStandardOutput()).trimmed().section(';', 0, 0);
    return !jobId->isEmpty() || (*error = QStringLiteral("sbatch gave no job id"), false);
}

bool submitSlurm(FarmPlan &plan, const SubmitRequest &request, QTextStream &out, QString *error)
{
    const int roundNumber = plan.rounds.size();
    const QString text = slurmScript(plan, request, roundNumber, error);
    if (text.isEmpty())
        return false;
    const QString script = plan.absolute(QStringLiteral("round-%1.sbatch").arg(roundNumber));
    if (!writeWholeFile(script, text.toUtf8(), error))
        return false;
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    if (request.dryRun) {
        out << script << Qt::endl;
        return true;
    }
    QString jobId;
    if (!runSbatch(script, &jobId, error))
        return false;
    plan.rounds.last().submitted = QStringLiteral("slurm ") + jobId;
    if (!plan.save(error))
        return false;
    out << jobId << Qt::endl;
    return true;
}

void printCommands(const FarmPlan &plan, const SubmitRequest &request, QTextStream &out)
{
    for (const PlanJob &job : plan.rounds.last().jobs) {
        const QString file = plan.absolute(job.file);
        if (request.shell == QLatin1String("cmd"))
            out << "cmd /c \"set \"CELLKIT_JOB=" << QString(file).replace('/', '\\') << "\" && "
                << request.hostCommand << '"' << Qt::endl;
        else
            out << "CELLKIT_JOB=" << posixQuoted(file) << ' ' << request.hostCommand << Qt::endl;
    }
}

} // namespace

bool submitPlan(FarmPlan &plan, const SubmitRequest &request, QTextStream &out, QString *error)
{
    if (request.hostCommand.trimmed().isEmpty() || !isOneLine(request.hostCommand)) {
        *error = QStringLiteral("--host-command needs one command line");
        return false;
    }
    for (const QString &option : request.schedulerOptions) {
        if (!isOneLine(option)) {
            *error = QStringLiteral("a scheduler option must stand on one line");
            return false;
        }
    }
    if (request.scheduler == QLatin1String("commands")) {
        if (request.shell != QLatin1String("posix") && request.shell != QLatin1String("cmd")) {
            *error = QStringLiteral("--shell is posix or cmd");
            return false;
        }
        printCommands(plan, request, out);
        return true;
    }
    if (request.scheduler != QLatin1String("slurm")) {
        *error =
            QStringLiteral("unknown scheduler \"%1\" (slurm or commands)").arg(request.scheduler);
        return false;
    }
    const QString submitted = plan.rounds.last().submitted;
    if (!submitted.isEmpty() && !request.again && !request.dryRun) {
        *error = QStringLiteral("round %1 was submitted already (%2); report --resubmit-plan makes "
                                "a round of the scenes not done, --again submits this one again")
                     .arg(plan.rounds.size())
                     .arg(submitted);
        return false;
    }
    return submitSlurm(plan, request, out, error);
}
