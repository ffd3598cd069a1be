#pragma once
// A farm job inside the host. When the environment variable CELLKIT_JOB names a job file, the
// plug-in runs that job at the first idle call after start-up, with no panel and no dialog:
// it reads the configuration the job names (the user's saved settings), imports the job's
// scene folders or creates the job's scenes from the scene list, writes a result file and asks
// the host to quit ("app.quit()" through the script suite), with the exit status in
// app.exitCode: 0 every scene done, 1 some scene not done, 2 the job could not start.
//
// Every question the run asks takes its default answer and is logged; every log line also goes
// to the standard error stream, which the farm keeps as the task's output.
//
// Example: CELLKIT_JOB=/farm/ep05/jobs/job-0002.json naming the scene SC020 of a create job
// writes /farm/ep05/results/job-0002.json with SC020 "done", its project
// /prod/out/SC020/SC020.aep and the elements the library did not have, then quits with 0.
#include "farm/JobFile.h"

#include <QString>

class ConfiguredCreateScene;
struct ImportOptions;
class JobModeLog;

class JobMode
{
public:
    explicit JobMode(const QString &jobFile);

    // The job named by CELLKIT_JOB; an empty file name when the variable is not set.
    static QString jobFileFromEnvironment();

    bool pending() const { return !m_ran; }
    // Runs the job once and writes its result; returns the exit status.
    int run();
    // Runs the job if it has not run yet, then asks the host to quit with its status.
    void runAndQuit();

    const JobResult &result() const { return m_result; }

private:
    int execute(const FarmJob &job, JobModeLog &log);
    int runCreate(const FarmJob &job, const ImportOptions &options, ConfiguredCreateScene &source,
                  JobModeLog &log);
    int runImport(const FarmJob &job, const ImportOptions &options, ConfiguredCreateScene &source,
                  JobModeLog &log);
    int cannotStart(const QString &why);
    // Every scene of the job is listed as failed with the reason.
    int cannotStart(const FarmJob &job, const QString &why);
    int finish(const FarmJob &job);

    QString m_jobFile;
    QString m_resultPath;
    bool m_ran = false;
    JobResult m_result;
};
