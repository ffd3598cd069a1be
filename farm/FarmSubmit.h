#pragma once
// Hands the last round of a plan to a farm.
//
// Slurm: an array script with one task per job file, the job file in CELLKIT_JOB, the output
// of each task in logs/round-<n>-task-<i>.out, then the host command; `sbatch` submits it and
// the scheduler's job id is kept in plan.json. Example for round 1 of three jobs, host command
// "/opt/host/cellkit-host":
//   #SBATCH --array=0-2
//   #SBATCH --output="/farm/ep05/logs/round-1-task-%a.out"
//   jobs=('/farm/ep05/jobs/job-0001.json' '/farm/ep05/jobs/job-0002.json' ...)
//   export CELLKIT_JOB="${jobs[$SLURM_ARRAY_TASK_ID]}"
//   /opt/host/cellkit-host
//
// Any other farm manager: one complete command line per job, for its command-line job type or
// a shell loop, e.g. CELLKIT_JOB='/farm/ep05/jobs/job-0001.json' /opt/host/cellkit-host
#include <QString>
#include <QStringList>
#include <QTextStream>

class FarmPlan;

struct SubmitRequest
{
    QString scheduler;                       // "slurm" or "commands"
    QString hostCommand;                     // a shell command line
    QString shell = QStringLiteral("posix"); // commands: "posix" or "cmd" (Windows)
    QStringList schedulerOptions;            // slurm: more #SBATCH options, e.g. --partition=comp
    bool dryRun = false;
    bool again = false; // submit a round that was submitted already
};

// Writes (and unless dry-run submits) the last round; prints the scheduler's job id, or the
// command lines, on `out`. False with *error otherwise.
bool submitPlan(FarmPlan &plan, const SubmitRequest &request, QTextStream &out, QString *error);
