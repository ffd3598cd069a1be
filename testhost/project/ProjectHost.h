#pragma once

#include "host/aegp.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class SuiteRegistry;
class FaultPlan;
class FolderListings;
class TestHost;
class ProjectModel;

// One script run through AEGP_ExecuteScript, kept for the dump.
struct ScriptRun
{
    QString text;
    QString result;
    QString error;
};

// The open project of the test host and the suites that work on it (project, item,
// composition, layer, footage, memory, utility), with the ExtendScript engine.
class ProjectHost : public QObject
{
    Q_OBJECT
public:
    ProjectHost(TestHost &host, SuiteRegistry &suites, FaultPlan &faults,
                QObject *parent = nullptr);
    ~ProjectHost() override;

    ProjectModel &model();
    TestHost &host();

    // Replaces the open project by an empty one, or by the one in a file.
    void newProject();
    // Changes whenever another project replaces the open one.
    int projectSerial() const;
    bool openProject(const QString &path, QString *error);
    bool saveProject(const QString &path, QString *error);

    // Runs an ExtendScript text on the open project, in the one scripting environment of the
    // session (what a script defines stays for the next); the result and error texts as the
    // host hands them back (an empty error on success). `fileName` is the script's file, if any.
    void runScript(const QString &text, QString *result, QString *error,
                   const QString &fileName = QString());
    const std::vector<ScriptRun> &scriptRuns() const;
    // A script still running after this long is stopped with an error (default one minute).
    void setScriptTimeLimit(int milliseconds);

    // The whole project and the host state (menu, commands, scripts) as one JSON text.
    QByteArray dump() const;

    // Memory handles: made, sized and freed through the memory suite.
    AEGP_MemHandle newHandle(const QByteArray &bytes);
    int liveHandles() const;

    // To be called after every change of the model (sets the dirty flag).
    void notifyChanged(bool dirty = true);

    // A run of the plug-in: the host is inside one of its hooks (an idle call, a command).
    // Folder listings for footage imports are kept while the outermost run lasts.
    class Run
    {
    public:
        explicit Run(ProjectHost &host);
        ~Run();
        Run(const Run &) = delete;
        Run &operator=(const Run &) = delete;

    private:
        ProjectHost &m_host;
    };
    // The listings of the run going on; null outside a run.
    FolderListings *folderListings();

Q_SIGNALS:
    // The project changed (an item, a layer, the dirty flag, or a new project replaced it).
    void changed();
    void scriptRan(const ScriptRun &run);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
