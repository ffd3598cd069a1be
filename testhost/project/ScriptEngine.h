#pragma once

#include <QString>
#include <memory>

class ProjectHost;

// The host's one scripting environment: a JavaScript engine with the ExtendScript object model
// installed once, in which every script of the session runs, whoever sends it (the plug-in
// through AEGP_ExecuteScript, --run-script, the window's Run Script). As on the real host,
// what one script defines at the top level stays for the later ones: after
//     var _CurCompName='SC01';
// any later script still reads _CurCompName as "SC01" until a script sets it again. The object
// model always works on the project open at the time of the call; an item object kept from a
// project that has been closed since throws "Object is invalid".
class ScriptEngine
{
public:
    explicit ScriptEngine(ProjectHost &project);
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine &) = delete;
    ScriptEngine &operator=(const ScriptEngine &) = delete;

    // Runs `text` and gives the host's two texts: the value of the last statement (empty when
    // it has none) and "Error: <message> (line <n>)" when the script threw. `fileName` is the
    // script's own file, seen as $.fileName while it runs (empty for a text sent directly).
    void run(const QString &text, const QString &fileName, QString *result, QString *error);

    // A script still running after this long is interrupted and reported as stopped.
    void setTimeLimit(int milliseconds);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
