#pragma once
// A plan folder: the scenes of one batch cut into jobs of a few scenes each, one job file per
// job, and the rounds of jobs submitted so far (the first round covers every scene; each
// resubmission adds a round for the scenes not done).
//
//   DIR/plan.json              the plan (below)
//   DIR/jobs/job-0001.json     one job file per job (FarmJob); the host reads it in CELLKIT_JOB
//   DIR/results/job-0001.json  written by the job when it ends (JobResult)
//   DIR/logs/                  the scheduler's output per task
//
// Example: 5 scenes at 2 per job give jobs/job-0001.json (SC010, SC020), job-0002 (SC030,
// SC040) and job-0003 (SC050) in round 1; a resubmission of SC030 adds job-0004 in round 2.
//
// The scene names come from the configuration exactly as the panel reads them: a create plan
// loads the scene list through the same readers, table, sheet and library as the Create Scene
// tab (ConfiguredCreateScene); an import plan lists the subfolders of the input folder as the
// Import Scene tab lists them.
#include "farm/JobFile.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct PlanJob
{
    QString file;   // relative to the plan folder
    QString result; // relative to the plan folder
    QStringList scenes;
};

struct PlanRound
{
    QVector<PlanJob> jobs;
    QString submitted; // "slurm <job id>" once submitted
};

// What `cellkit-farm plan` is asked for.
struct PlanRequest
{
    QString configuration; // the configuration's INI file
    QString sceneList;     // --list: instead of the configuration's scene list
    QString importRoot;    // --import-root: an import plan
    QStringList scenes;    // --scenes: only these (all when empty)
    int perJob = 1;
    QString folder; // --out
};

class FarmPlan
{
public:
    FarmJob::Action action = FarmJob::Create;
    QString configuration;
    QString sceneList;
    QString inputRoot;
    int perJob = 1;
    QStringList scenes; // every scene of the batch, in list order
    QVector<PlanRound> rounds;

    const QString &folder() const { return m_folder; }
    QString absolute(const QString &relative) const;

    // Reads the scene names and writes a new plan with its first round. False with *error when
    // the configuration, the list or a named scene cannot be found, or the folder holds a plan.
    static bool create(const PlanRequest &request, FarmPlan *plan, QString *error);
    static bool load(const QString &folder, FarmPlan *plan, QString *error);
    bool save(QString *error) const;
    // Appends a round of jobs for these scenes and writes their job files (not plan.json).
    bool addRound(const QStringList &roundScenes, QString *error);

    // The scene names the panel would list for the request (see the header comment).
    static bool sceneNames(const PlanRequest &request, QStringList *names, QString *error);

private:
    int jobCount() const;
    QString m_folder;
};
