#pragma once
// What the descriptor reader asks of the composition assembly. The host-backed assembly
// implements it; tests record the calls.
#include <QString>

class ColumnAssembler
{
public:
    virtual ~ColumnAssembler() = default;
    // Creates or adopts the scene composition and makes it current. compNameSource is the
    // descriptor path; sceneName has the generated-file marker removed.
    virtual void createSceneComposition(const QString &compNameSource, const QString &sceneName,
                                        int nbIma, int frameRate, int width, int height) = 0;
    // Imports one column file as a new top layer of the current composition. hasFolder is false
    // for columns named only by their sequence name (footage at the project root).
    virtual void importColumn(const QString &filePath, bool isSequence, int frameRate,
                              const QString &folder, bool hasFolder) = 0;
    // Precomposes layers 1..count of the current composition into a composition named name.
    virtual void precomposeLayers(int count, const QString &name) = 0;
    // Runs the scene's "BATCH" scripts after the columns are in.
    virtual void runBatchScripts() = 0;
};
