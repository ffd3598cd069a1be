#pragma once
// The Create Scene values of a saved configuration, read without the tab: what the tab would
// show after loading that configuration, taken as the tab's snapshot (SceneListOptions) plus
// the switches the scene runs read. Programs that work without a panel (the farm planner, a
// farm job inside the host) read a configuration through this, so they see the scene list,
// the matching table and the library exactly as the user saved them.
//
// The values go through the same conversions as the tab's widgets: a combo index outside its
// list falls back to the key's default, a spin box value is clamped to its range, a path that
// still reads "Select ..." is no path, and paths get the production placeholders expanded.
//
// Example: a configuration holding [CreateScene] SceneListFile=/prod/EP%03e/list.csv and
// sbEpisodeNumber=7 gives list.sceneListPath "/prod/EP007/list.csv"; cbSceneListType=5 (no such
// entry) gives list.sceneListType 0.
#include "scenelist/SceneListOptions.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;

struct CreateSceneConfiguration
{
    SceneListOptions list;
    bool useLibraryFiles = false;         // ckUseFilesInLibrary
    bool moveFilesToRelativePath = false; // ckImpMoveFilesToRelativePath
    bool useTemplate = false;             // ckUseTemplateFile
    QString templatePath;                 // pbSelectFlashTemplate, resolved
    QStringList scripts;                  // lwScript, simplified, empty entries dropped
    QString codeConversionFile;           // pbCodeConversionFile (the code table's file)

    static CreateSceneConfiguration read(QSettings &settings);
    // A key of the tab's group, or, for a configuration written before the group existed, the
    // same key at the top level (as the tab reads it).
    static QVariant readKey(QSettings &settings, const QString &key, const QVariant &defaultValue);
    // The library scan depth: 0, 1, 2, or 99 for the last entry ("Full Recursion").
    int libraryDepth() const;
};
