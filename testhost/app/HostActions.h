#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

class TestHost;

// State of one cellkit-host run, shared by the command-line actions.
struct HostRun
{
    TestHost *host = nullptr;
    bool headless = false;
    QString pluginPath;     // --plugin, else the module beside the program
    QTextStream *out = nullptr;
    QTextStream *err = nullptr;
    QStringList answers;    // queued --answer values (ok, yes, no, cancel)
    QStringList choices;    // queued --choose paths
    QString logFile;        // --log target ("-" for standard output), written at exit
    QString dumpFile;       // reserved for actions that write at exit
    QString importRoot;      // --import: the input root directory of the pending import
    QStringList importScenes; // --scene values given after --import (empty: every scene)
    QStringList values;       // every value of the running action (for those taking several)

    // Work that waits for the options completing it (--import waits for its --scene options);
    // it runs before the next action that does not continue it, and at the end of the list.
    std::vector<std::function<bool()>> pending;

    // Loads the plug-in if that has not happened yet; false (message printed) on failure.
    std::function<bool()> ensurePlugin;
    // Work run at exit, in the order added (e.g. writing the log); false (message printed)
    // when it failed, which fails the run.
    std::vector<std::function<bool()>> atExit;
};

// One command-line option: "--name" with or without a value, run in command-line order.
struct HostAction
{
    QString name;        // without the leading "--"
    bool takesValue = false;
    QString valueName;   // for the usage text, e.g. "FILE"
    QString help;
    std::function<bool(HostRun &run, const QString &value)> run;
    bool continuesPrevious = false; // completes the pending work instead of flushing it
    int valueCount = 1;             // values taken when takesValue (valueName names them all)
    // Values that name a file or folder (by index): a relative one is made absolute against the
    // folder the program started in, as an import or a scene creation changes the current one.
    std::vector<int> pathValues = {};
};

// For ActionTable::add: the action's one value names a file or folder.
inline const std::vector<int> kValueIsPath = {0};

class ActionTable
{
public:
    // `pathValues`: as HostAction::pathValues, e.g. kValueIsPath.
    void add(HostAction action, std::vector<int> pathValues = {})
    {
        if (!pathValues.empty())
            action.pathValues = std::move(pathValues);
        m_actions.push_back(std::move(action));
    }
    const HostAction *find(const QString &name) const
    {
        for (const HostAction &a : m_actions)
            if (a.name == name)
                return &a;
        return nullptr;
    }
    const std::vector<HostAction> &all() const { return m_actions; }

private:
    std::vector<HostAction> m_actions;
};

// Each group lives in its own file of testhost/app/.
void addCoreActions(ActionTable &table);    // --plugin --menu --command --idle --print-commands
void addProjectActions(ActionTable &table); // --project --run-script --save --dump
void addPanelActions(ActionTable &table);   // --set --get --click --select --log --answer --choose
                                            // --config-dir --config
void addImportActions(ActionTable &table);  // --make-samples --import --scene
void addCreateSceneActions(ActionTable &table); // --table --tree --tree-text --print-projects
                                                // --make-production --launchers --launch
void addRenderActions(ActionTable &table);  // --render
