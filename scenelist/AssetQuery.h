#pragma once
// The external asset query ("fishMode": "shotgun" in a table row's Options): instead of the
// library index, a Python script is asked for the paths of an asset. The script ships inside
// the plug-in (":/Scripts/ShotgunApiGet.py") and is written as "Quillmark-ShotgunApiGet.py"
// into the folder the panel gives (its configuration folder) whenever it is missing there.
//
// Contract: the interpreter runs [script, name, fishParam]; the script prints one path per
// line, or "None" (no result, a success), or "ERROR" first (a failure). Start and end are each
// waited for at most 30 seconds.
//
// Example:
//     AssetQuery query;
//     query.setInterpreter(AssetQuery::defaultInterpreter());   // e.g. /usr/bin/python3
//     query.setScriptFolder(configurationFolder);
//     QStringList paths;
//     if (query.shotgunQuery("bob", &paths, "/prod/assets.json")) ... paths is {"/lib/bob.png"}
#include <QString>
#include <QStringList>

class QWidget;

class AssetQuery
{
public:
    AssetQuery();

    // The first "python3" or "python" on the PATH; empty when there is none.
    static QString defaultInterpreter();
    static QString scriptFileName() { return QStringLiteral("Quillmark-ShotgunApiGet.py"); }

    void setInterpreter(const QString &path) { m_interpreter = path; }
    QString interpreter() const { return m_interpreter; }
    // Where the script is written; the process's current folder while none is given.
    void setScriptFolder(const QString &folder) { m_scriptFolder = folder; }
    QString scriptPath() const;
    // Limits for the interpreter to start and to finish, in milliseconds (30000 each).
    void setTimeLimits(int startMs, int finishMs);
    // Parent of the "Python.exe non trouvé" box.
    void setDialogParent(QWidget *parent) { m_dialogParent = parent; }

    // Writes the shipped script to scriptPath(); a failed write leaves no file and is logged.
    bool CreateShotgunScriptApi();
    // Asks the script for `name`. False (no results) when the interpreter is missing (warning
    // box), the script cannot be written, the interpreter cannot start or runs out of time, or
    // the script answers "ERROR".
    bool shotgunQuery(const QString &name, QStringList *results, const QString &fishParam);

private:
    QString m_interpreter;
    QString m_scriptFolder;
    int m_startLimit = 30000;
    int m_finishLimit = 30000;
    QWidget *m_dialogParent = nullptr; // not owned
};
