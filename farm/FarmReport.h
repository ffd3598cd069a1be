#pragma once
// What became of every scene of a plan, from the result files of all its rounds: a scene is
// done when any job reports it done; otherwise it takes the word of the last round that had
// it: failed, skipped, or never reported (that job wrote no result: killed, cancelled, lost).
//
// Example: SC020's job was cancelled before it started:
//   plan /farm/ep05: create, 3 scenes, 3 jobs in 1 round
//   done 2, failed 0, skipped 0, never reported 1
//     SC010  done            /prod/out/SC010/SC010.aep
//     SC020  never reported  jobs/job-0002.json (slurm 41): no result
//     SC030  done            /prod/out/SC030/SC030.aep  missing: zed.png
//   not done: SC020
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

class FarmPlan;

struct SceneReport
{
    enum Status { Done, Failed, Skipped, NeverReported };
    QString name;
    Status status = NeverReported;
    QString project;
    QStringList missing;
    QStringList messages;
    QString job;       // the job file that spoke last for the scene (relative to the plan)
    QString submitted; // that job's round, as submitted ("slurm 41")

    static QString statusName(Status status);
};

QVector<SceneReport> reportPlan(const FarmPlan &plan);
void printReport(const FarmPlan &plan, const QVector<SceneReport> &scenes, QTextStream &out);
void printReportJson(const FarmPlan &plan, const QVector<SceneReport> &scenes, QTextStream &out);
QStringList scenesNotDone(const QVector<SceneReport> &scenes);
