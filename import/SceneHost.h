#pragma once
// The host operations of a scene run that depend on the import options: the scene composition
// (new, or an existing "shell" composition adopted), the layers added to it, the per-scene
// project of batch mode and its saving, and the host scripts. Like the project operations of
// vipLi, each builds a short-lived SuiteCache and records a failed host call as the last host
// error with an "-ERR I- line %d, file(%s)" line in the error log.
//
// Example: with efImpCompName "ML01_EP%02e_%a", episode 5 and the scene SC010, CreateSceneComp
// makes the composition "ML01_EP05_SC010" and makes it current; RunScript then runs every
// script behind "var _CurCompName='ML01_EP05_SC010';".
#include "host/aegp.h"
#include "import/ImportOptions.h"

#include <QString>

class CreateSceneSource;

class SceneHost
{
public:
    SceneHost(const ImportOptions &options, const CreateSceneSource &createScene);

    // A name pattern (efImpCompName, efImpOutputFileName) for a scene: the production
    // placeholders of the Create Scene side, then %a = the scene name.
    QString resolveScenePattern(const QString &pattern, const QString &sceneName) const;

    // Creates the scene composition, or adopts and renames the shell composition, and makes it
    // the current composition. The name is efImpCompName resolved for the scene, else the base
    // name of nameSource. A width or height of 0 takes the option's value. False (and no
    // current composition) when no composition could be made or found.
    bool CreateSceneComp(const QString &nameSource, const QString &sceneName, A_Time duration,
                         A_Ratio frameRate, int width, int height);

    // Batch mode: makes root/scene (the process's current directory from now on), opens a new
    // project (or the template) and gives the .aep path it is to be saved as. False when the
    // host could not open a project, or (with an -ERR- line, nothing made) when the scene or
    // the project name from efImpOutputFileName could not be one file name.
    bool NewSceneProject(const QString &root, const QString &scene, QString *outputFile,
                         AEGP_ProjectH *project);

    // Adds the item as the top layer of the current composition.
    static bool AddLayerToCurrentComp(AEGP_ItemH item);
    // True when a project is open and modified.
    static bool IsProjectDirty();
    // Saves the project as `file`; a failure is reported in the log console with the path.
    static bool SaveSceneProject(AEGP_ProjectH project, const QString &file);
    // Imports a file (no sequence) into a new project folder "ELEMENTS"; null on failure.
    static AEGP_ItemH ImportToElements(const QString &file);

    // Runs a script text in the host (UTF-8), behind the composition prefix when compName is
    // not empty; the host's result and error texts go to the log console. True when the host
    // ran it without an error text.
    static bool RunScript(const QString &script, const QString &compName);
    // Runs a script file: the host evaluates the file itself ($.evalFile), behind the
    // composition prefix when compName is not empty, so the script knows its own file as
    // $.fileName. A script error goes to the log console as "-ERR- Script [<file>]: <error>".
    static bool RunScriptFile(const QString &file, const QString &compName);

private:
    QString sceneCompName(const QString &nameSource, const QString &sceneName) const;

    const ImportOptions &m_options;
    const CreateSceneSource &m_createScene;
};
