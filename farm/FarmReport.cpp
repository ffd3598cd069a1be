#include "farm/FarmReport.h"

#include "farm/FarmPlan.h"
#include "farm/JobFile.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A result file that is missing or unreadable reports nothing.
bool readResult(const FarmPlan &plan, const PlanJob &job, JobResult *result)
{
    for (const QString &path :
         {plan.absolute(job.result), FarmJob::fallbackResultPath(plan.absolute(job.file))}) {
        QFile file(path);
        QString error;
        if (file.open(QIODevice::ReadOnly) && JobResult::fromJson(file.readAll(), result, &error))
            return true;
    }
    return false;
}

SceneReport::Status statusOf(SceneResult::Status status)
{
    switch (status) {
    case SceneResult::Done:
        return SceneReport::Done;
    case SceneResult::Skipped:
        return SceneReport::Skipped;
    case SceneResult::Failed:
        break;
    }
    return SceneReport::Failed;
}

} // namespace

QString SceneReport::statusName(Status status)
{
    switch (status) {
    case Done:
        return QStringLiteral("done");
    case Failed:
        return QStringLiteral("failed");
    case Skipped:
        return QStringLiteral("skipped");
    case NeverReported:
        break;
    }
    return QStringLiteral("never reported");
}

QVector<SceneReport> reportPlan(const FarmPlan &plan)
{
    QHash<QString, SceneReport> byName;
    for (const PlanRound &round : plan.rounds) {
        for (const PlanJob &job : round.jobs) {
            JobResult result;
            const bool reported = readResult(plan, job, &result);
            for (const QString &name : job.scenes) {
                SceneReport &scene = byName[name];
                if (scene.status == SceneReport::Done)
                    continue;
                scene = SceneReport();
                scene.name = name;
                scene.job = job.file;
                scene.submitted = round.submitted;
                if (!reported) {
                    scene.messages << QStringLiteral("no result");
                    continue;
                }
                for (const SceneResult &s : result.scenes) {
                    if (s.name != name)
                        continue;
                    scene.status = statusOf(s.status);
                    scene.project = s.project;
                    scene.missing = s.missing;
                    scene.messages = s.messages;
                }
                if (!result.started && scene.status == SceneReport::NeverReported) {
                    scene.status = SceneReport::Failed;
                    scene.messages << result.error;
                }
            }
        }
    }
    QVector<SceneReport> scenes;
    for (const QString &name : plan.scenes) {
        SceneReport scene = byName.value(name);
        scene.name = name;
        scenes << scene;
    }
    return scenes;
}

QStringList scenesNotDone(const QVector<SceneReport> &scenes)
{
    QStringList names;
    for (const SceneReport &scene : scenes)
        if (scene.status != SceneReport::Done)
            names << scene.name;
    return names;
}

void printReport(const FarmPlan &plan, const QVector<SceneReport> &scenes, QTextStream &out)
{
    int jobs = 0;
    for (const PlanRound &round : plan.rounds)
        jobs += round.jobs.size();
    int counts[4] = {0, 0, 0, 0};
    int width = 5;
    for (const SceneReport &scene : scenes) {
        ++counts[scene.status];
        width = qMax(width, scene.name.size());
    }
    out << "plan " << plan.folder() << ": " << FarmJob::actionName(plan.action) << ", "
        << scenes.size() << " scenes, " << jobs << " jobs in " << plan.rounds.size()
        << (plan.rounds.size() == 1 ? " round" : " rounds") << '\n';
    out << "done " << counts[SceneReport::Done] << ", failed " << counts[SceneReport::Failed]
        << ", skipped " << counts[SceneReport::Skipped] << ", never reported "
        << counts[SceneReport::NeverReported] << '\n';
    for (const SceneReport &scene : scenes) {
        out << "  " << scene.name.leftJustified(width) << "  "
            << SceneReport::statusName(scene.status).leftJustified(14) << "  ";
        if (scene.status == SceneReport::Done) {
            out << scene.project;
        } else {
            out << scene.job;
            if (!scene.submitted.isEmpty())
                out << " (" << scene.submitted << ')';
            if (!scene.messages.isEmpty())
                out << ": " << scene.messages.last();
        }
        if (!scene.missing.isEmpty())
            out << "  missing: " << scene.missing.join(QStringLiteral(", "));
        out << '\n';
    }
    const QStringList notDone = scenesNotDone(scenes);
    if (!notDone.isEmpty())
        out << "not done: " << notDone.join(QStringLiteral(",")) << '\n';
    out.flush();
}

void printReportJson(const FarmPlan &plan, const QVector<SceneReport> &scenes, QTextStream &out)
{
    QJsonArray array;
    for (const SceneReport &scene : scenes)
        array.append(
            QJsonObject{{QStringLiteral("name"), scene.name},
                        {QStringLiteral("status"), SceneReport::statusName(scene.status)},
                        {QStringLiteral("project"), scene.project},
                        {QStringLiteral("missing"), QJsonArray::fromStringList(scene.missing)},
                        {QStringLiteral("messages"), QJsonArray::fromStringList(scene.messages)},
                        {QStringLiteral("job"), scene.job},
                        {QStringLiteral("submitted"), scene.submitted}});
    const QJsonObject o{
        {QStringLiteral("plan"), plan.folder()},
        {QStringLiteral("action"), FarmJob::actionName(plan.action)},
        {QStringLiteral("rounds"), plan.rounds.size()},
        {QStringLiteral("scenes"), array},
        {QStringLiteral("notDone"), QJsonArray::fromStringList(scenesNotDone(scenes))}};
    out << QJsonDocument(o).toJson(QJsonDocument::Indented);
    out.flush();
}
