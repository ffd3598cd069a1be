// cellkit-farm: plans a batch of scenes as farm jobs, submits them, and reports what became of
// every scene. See docs/manual/farm.html.
#include "farm/FarmPlan.h"
#include "farm/FarmReport.h"
#include "farm/FarmSubmit.h"
#include "support/LogSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace {

const char kUsage[] =
    "usage:\n"
    "  cellkit-farm plan --config FILE (--list LIST | --import-root DIR) [--scenes A,B]\n"
    "                    --per-job N --out DIR\n"
    "  cellkit-farm submit DIR --scheduler slurm|commands --host-command \"CMD\"\n"
    "                    [--sbatch-option OPT]... [--shell posix|cmd] [--dry-run] [--again]\n"
    "  cellkit-farm report DIR [--json] [--resubmit-plan]\n"
    "Exit status: 0 success (report: every scene done), 1 report: scenes not done,\n"
    "2 the command could not be carried out.\n";

// The scene list readers write their -ERR- and -WAR- lines here.
class StderrLog final : public LogSink
{
public:
    void appendLogLine(const QString &line) override
    {
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    }
};

// --name VALUE options and bare flags after the command (and its folder).
class Arguments
{
public:
    Arguments(const QStringList &args, const QStringList &flags) : m_args(args), m_flags(flags) {}

    bool parse(QString *error)
    {
        for (int i = 0; i < m_args.size(); ++i) {
            const QString arg = m_args.at(i);
            if (!arg.startsWith(QLatin1String("--"))) {
                m_positional << arg;
            } else if (m_flags.contains(arg)) {
                m_values.insert(arg, QString());
            } else if (i + 1 < m_args.size()) {
                m_values.insert(arg, m_args.at(++i));
            } else {
                *error = arg + QStringLiteral(" needs a value");
                return false;
            }
        }
        return true;
    }
    QString value(const char *name) const { return m_values.value(QLatin1String(name)); }
    QStringList values(const char *name) const { return m_values.values(QLatin1String(name)); }
    bool has(const char *name) const { return m_values.contains(QLatin1String(name)); }
    QStringList positional() const { return m_positional; }
    QStringList unknown(const QStringList &known) const
    {
        QStringList names;
        for (const QString &key : m_values.uniqueKeys())
            if (!known.contains(key))
                names << key;
        return names;
    }

private:
    QStringList m_args;
    QStringList m_flags;
    QStringList m_positional;
    QMultiMap<QString, QString> m_values;
};

int fail(QTextStream &err, const QString &message)
{
    err << "cellkit-farm: " << message << Qt::endl;
    return 2;
}

bool checkKnown(const Arguments &a, const QStringList &known, int positional, QString *error)
{
    const QStringList unknown = a.unknown(known);
    if (!unknown.isEmpty()) {
        *error = QStringLiteral("unknown option %1").arg(unknown.join(QStringLiteral(", ")));
        return false;
    }
    if (a.positional().size() != positional) {
        *error = positional ? QStringLiteral("name the plan folder")
                            : QStringLiteral("unexpected %1").arg(a.positional().join(' '));
        return false;
    }
    return true;
}

int plan(const QStringList &args, QTextStream &out, QTextStream &err)
{
    Arguments a(args, {});
    QString error;
    if (!a.parse(&error) ||
        !checkKnown(a, {"--config", "--list", "--import-root", "--scenes", "--per-job", "--out"}, 0,
                    &error))
        return fail(err, error);
    PlanRequest request;
    request.configuration = a.value("--config");
    request.sceneList = a.value("--list");
    request.importRoot = a.value("--import-root");
    request.folder = a.value("--out");
    bool ok = false;
    request.perJob = a.value("--per-job").toInt(&ok);
    if (a.has("--scenes"))
        request.scenes = a.value("--scenes").split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (request.configuration.isEmpty() || request.folder.isEmpty() || !ok ||
        (a.has("--list") && a.has("--import-root")))
        return fail(err, QStringLiteral("plan needs --config, --per-job, --out, and --list or "
                                        "--import-root (not both)"));
    FarmPlan result;
    if (!FarmPlan::create(request, &result, &error))
        return fail(err, error);
    out << "plan " << result.folder() << ": " << FarmJob::actionName(result.action) << ", "
        << result.scenes.size() << " scenes in " << result.rounds.first().jobs.size()
        << " jobs of up to " << result.perJob << Qt::endl;
    for (const PlanJob &job : result.rounds.first().jobs)
        out << "  " << job.file << "  " << job.scenes.join(QStringLiteral(",")) << Qt::endl;
    return 0;
}

int submit(const QStringList &args, QTextStream &out, QTextStream &err)
{
    Arguments a(args, {"--dry-run", "--again"});
    QString error;
    if (!a.parse(&error) || !checkKnown(a,
                                        {"--scheduler", "--host-command", "--sbatch-option",
                                         "--shell", "--dry-run", "--again"},
                                        1, &error))
        return fail(err, error);
    FarmPlan farmPlan;
    if (!FarmPlan::load(a.positional().first(), &farmPlan, &error))
        return fail(err, error);
    SubmitRequest request;
    request.scheduler = a.value("--scheduler");
    request.hostCommand = a.value("--host-command");
    QStringList options = a.values("--sbatch-option");
    std::reverse(options.begin(), options.end()); // QMultiMap gives the last one first
    request.schedulerOptions = options;
    if (a.has("--shell"))
        request.shell = a.value("--shell");
    request.dryRun = a.has("--dry-run");
    request.again = a.has("--again");
    if (!submitPlan(farmPlan, request, out, &error))
        return fail(err, error);
    return 0;
}

int report(const QStringList &args, QTextStream &out, QTextStream &err)
{
    Arguments a(args, {"--json", "--resubmit-plan"});
    QString error;
    if (!a.parse(&error) || !checkKnown(a, {"--json", "--resubmit-plan"}, 1, &error))
        return fail(err, error);
    FarmPlan farmPlan;
    if (!FarmPlan::load(a.positional().first(), &farmPlan, &error))
        return fail(err, error);
    const QVector<SceneReport> scenes = reportPlan(farmPlan);
    if (a.has("--json"))
        printReportJson(farmPlan, scenes, out);
    else
        printReport(farmPlan, scenes, out);
    const QStringList notDone = scenesNotDone(scenes);
    if (a.has("--resubmit-plan") && !notDone.isEmpty()) {
        if (!farmPlan.addRound(notDone, &error) || !farmPlan.save(&error))
            return fail(err, error);
        const PlanRound &round = farmPlan.rounds.last();
        // On the error stream, so that --json output stays one document.
        err << "round " << farmPlan.rounds.size() << ": " << round.jobs.size() << " jobs for "
            << notDone.size() << " scenes; submit it with cellkit-farm submit " << farmPlan.folder()
            << Qt::endl;
    }
    return notDone.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cellkit-farm"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    StderrLog log;
    LogSink::setCurrent(&log);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    int status = 2;
    if (command == QLatin1String("plan"))
        status = plan(args, out, err);
    else if (command == QLatin1String("submit"))
        status = submit(args, out, err);
    else if (command == QLatin1String("report"))
        status = report(args, out, err);
    else if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        status = (out << kUsage, 0);
    else
        err << kUsage;
    LogSink::setCurrent(nullptr);
    out.flush();
    err.flush();
    return status;
}
