#pragma once
// The Create Scene side of a saved configuration, without the tab: it loads the scene list
// with the configuration's readers, table and library (CreateSceneCore), keeps the resulting
// scene tree, and answers the scene runs (CreateSceneSource) as the tab would after the same
// load, with the scenes chosen by name selected.
//
// Example: a configuration whose scene list names SC010, SC020 and SC030:
//     ConfiguredCreateScene source(CreateSceneConfiguration::read(settings), folder);
//     source.load();                       // Read; sceneNames() == {SC010, SC020, SC030}
//     source.select({"SC020", "SC040"});   // returns {"SC040"}: not in the list
//     SceneCreation(options, source, preparation).CreateScene();   // builds SC020
#include "import/CreateSceneSource.h"
#include "scenelist/CreateSceneConfiguration.h"
#include "scenelist/CreateSceneCore.h"

class ConfiguredCreateScene : public CreateSceneSource
{
public:
    // `configurationFolder`: where the external asset query looks for its script, as the tab
    // looks beside the configurations.
    ConfiguredCreateScene(const CreateSceneConfiguration &configuration,
                          const QString &configurationFolder);

    const CreateSceneConfiguration &configuration() const { return m_configuration; }
    // Reads another list than the configuration's (a file, or a folder for the second type).
    void setSceneListPath(const QString &path);

    // "Load Scene List" without a dialog.
    SceneListLoad load();
    const SceneTree &tree() const { return m_core.tree(); }
    // The scene names of the tree, in tree order.
    QStringList sceneNames() const;
    // Selects exactly these scenes; returns the names the tree does not hold.
    QStringList select(const QStringList &names);
    // The elements of a scene that were searched on disk and not found: the file name looked
    // for (or the asset name when there is none), in tree order.
    QStringList missingElements(const QString &sceneName) const;

    bool useLibraryFiles() const override;
    bool moveFilesToRelativePath() const override;
    bool collectFiles() const override;
    bool useTemplate() const override;
    QString templatePath() const override;
    QStringList scripts() const override;
    void refreshLibraryBeforeNextLookUp() override;
    int libraryDepth() const override;
    ProductionValues productionValues() const override;
    QVector<TableFile> GetFileToImportFromTable(const QString &sceneName, int position) override;
    QVector<SceneToCreate> selectedScenes() const override;
    QString destinationDir() const override;
    QString inputDirectory() const override;
    QString inputExtension() const override;

private:
    CreateSceneConfiguration m_configuration;
    CreateSceneCore m_core;
};
