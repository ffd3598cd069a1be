#pragma once
// What the scene runs read from the Create Scene side: the library switches, the matching
// table's files for a scene, the template and scripts, the production placeholder values, and
// for a Create Scene run the scenes selected in the scene tree with their elements.
// The defaults answer as a panel with everything switched off and empty would.
//
// Example: a tree scene "SC010" holding a found Movie row /lib/SC010.mov and a found Asset row
// /lib/chars/bob.png with layer folder "CHARS" is handed over as
// {"SC010", {{"SC010", "SC010.mov", "/lib/SC010.mov", "", 3, true},
//            {"bob", "bob.png", "/lib/chars/bob.png", "CHARS", 6, true}}}.
#include "support/ProductionValues.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

using TableFile = QPair<QString, QString>; // file path, project folder text

// One element row of a scene to create, as the scene tree shows it.
struct SceneElementToCreate
{
    QString name;       // "Element": the asset's name
    QString fileName;   // "File Name": the file looked for
    QString path;       // "Full Path Name": the file found on disk
    QString layerDir;   // "LayerDir": the project folder of its footage
    int type = 0;       // "Tid": 3 Movie, 4 Sound, 5 Ima, 6 Asset; other types are not built
    bool found = false; // "Fok" reads as a non-zero integer
};

struct SceneToCreate
{
    QString name; // column 0 of the scene item
    QVector<SceneElementToCreate> elements;
};

class CreateSceneSource
{
public:
    virtual ~CreateSceneSource();
    virtual bool useLibraryFiles() const { return false; }
    virtual bool moveFilesToRelativePath() const { return false; }
    // The target "Collect Files in a Folder and Zip it": a created scene gets a copy of every
    // file it uses and is written to a zip archive beside its folder.
    virtual bool collectFiles() const { return false; }
    virtual bool useTemplate() const { return false; }
    // The template project, placeholders expanded.
    virtual QString templatePath() const { return {}; }
    virtual QStringList scripts() const { return {}; }
    // The library folders may have changed (before each imported scene, with library files on):
    // the table's files given from now on reflect the disk.
    virtual void refreshLibraryBeforeNextLookUp() {}
    // The recursion depth of the library scan: 0, 1, 2, or 99 for full recursion.
    virtual int libraryDepth() const { return 0; }
    // The production placeholder values (%e, %n, %x, %y, %z, %j); empty ones stay in place.
    virtual ProductionValues productionValues() const { return {}; }
    // The table's files for a scene at a position (1: before the scanned files, -1: after).
    virtual QVector<TableFile> GetFileToImportFromTable(const QString &sceneName, int position);

    // Create Scene runs: the selected scenes of the scene tree, in tree order.
    virtual QVector<SceneToCreate> selectedScenes() const { return {}; }
    // The output directory, placeholders expanded; each created scene is saved below it.
    virtual QString destinationDir() const { return {}; }
    // For a list of movie files (the second scene-list type): the folder of the movies and
    // their extension, so the scene's movie is "<inputDirectory>/<scene>.<inputExtension>".
    // Both are empty for the other list types.
    virtual QString inputDirectory() const { return {}; }
    virtual QString inputExtension() const { return {}; }
};
