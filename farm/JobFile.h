#pragma once
// The two files a farm job reads and writes: the job file the planner writes and the plug-in
// reads in the host (CELLKIT_JOB), and the result file the plug-in writes when the job ends.
// Both are JSON. Relative paths in a job file are relative to the job file's own folder, so a
// plan folder can be mounted elsewhere on the nodes.
//
// Example job file (jobs/job-0002.json of a plan):
//   {"format": "cellkit-job", "version": 1, "action": "create",
//    "configuration": "/prod/config/cellKit4after-ep05.ini",
//    "sceneList": "/prod/ep05/list.csv", "scenes": ["SC020"],
//    "result": "../results/job-0002.json"}
// and the result the job writes there:
//   {"format": "cellkit-job-result", "version": 1, "job": ".../jobs/job-0002.json",
//    "started": true, "error": "", "node": "vm", "begin": "...", "end": "...", "messages": [],
//    "scenes": [{"name": "SC020", "status": "done", "project": "/prod/out/SC020/SC020.aep",
//                "missing": ["zed.png"], "messages": ["-WAR- ..."]}]}
// A job that cannot start still writes a result: "started" false and "error" saying why.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

struct FarmJob
{
    enum Action { Create, Import };
    Action action = Create;
    QString configuration; // the configuration's INI file
    QString sceneList;     // create: the scene list read instead of the configuration's one
    QString inputRoot;     // import: the folder holding the scene folders
    QStringList scenes;
    QString result; // where the result goes

    static QString actionName(Action action);
    QJsonObject toJson() const;
    // False with *error when the text is no job file; relative paths resolve against `folder`.
    static bool fromJson(const QByteArray &text, const QString &folder, FarmJob *job,
                         QString *error);
    // Where the result of a job file that cannot be read goes: "job-0002.json" gives
    // "job-0002.result.json" beside it.
    static QString fallbackResultPath(const QString &jobFile);
};

struct SceneResult
{
    enum Status { Done, Failed, Skipped };
    QString name;
    Status status = Failed;
    QString project;      // the project saved for the scene; empty when none was
    QStringList missing;  // elements searched for and not found
    QStringList messages; // the scene's warnings, errors and the questions answered for it

    static QString statusName(Status status);
};

struct JobResult
{
    QString job;          // the job file
    bool started = false; // false: the job could not start (error says why)
    QString error;
    QString node;         // the host name of the machine that ran it
    QString begin, end;   // ISO 8601 times
    QStringList messages; // lines logged outside any scene
    QVector<SceneResult> scenes;

    QJsonObject toJson() const;
    static bool fromJson(const QByteArray &text, JobResult *result, QString *error);
    // Written whole: a reader never sees half a result.
    bool write(const QString &path, QString *error) const;
};
