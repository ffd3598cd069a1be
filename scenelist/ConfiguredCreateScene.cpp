#include "scenelist/ConfiguredCreateScene.h"

#include "scenelist/AssetType.h"

#include <QSet>

ConfiguredCreateScene::ConfiguredCreateScene(const CreateSceneConfiguration &configuration,
                                             const QString &configurationFolder)
    : m_configuration(configuration)
{
    m_core.assetQuery().setInterpreter(AssetQuery::defaultInterpreter());
    m_core.assetQuery().setScriptFolder(configurationFolder);
    m_core.codeTable().setPath(m_configuration.codeConversionFile);
}

void ConfiguredCreateScene::setSceneListPath(const QString &path)
{
    m_configuration.list.sceneListPath = path;
}

SceneListLoad ConfiguredCreateScene::load()
{
    return m_core.load(m_configuration.list, nullptr);
}

QStringList ConfiguredCreateScene::sceneNames() const
{
    QStringList names;
    for (const SceneTreeScene &scene : m_core.tree().scenes())
        names << scene.cell(SceneTreeColumn::Element);
    return names;
}

QStringList ConfiguredCreateScene::select(const QStringList &names)
{
    const QSet<QString> wanted(names.cbegin(), names.cend());
    QSet<QString> seen;
    for (SceneTreeScene &scene : m_core.tree().scenes()) {
        scene.selected = wanted.contains(scene.cell(SceneTreeColumn::Element));
        if (scene.selected)
            seen.insert(scene.cell(SceneTreeColumn::Element));
    }
    QStringList unknown;
    for (const QString &name : names)
        if (!seen.contains(name))
            unknown << name;
    return unknown;
}

QStringList ConfiguredCreateScene::missingElements(const QString &sceneName) const
{
    QStringList missing;
    for (const SceneTreeScene &scene : m_core.tree().scenes()) {
        if (scene.cell(SceneTreeColumn::Element) != sceneName)
            continue;
        for (const SceneTreeRow &element : scene.elements) {
            // Information elements (scene, NbIma, empty type) carry "0" too: they are not files.
            const int type = element.cell(SceneTreeColumn::Tid).toInt();
            if (element.isFound() || !(isSearchedOnDisk(type) || type == TypeCode))
                continue;
            const QString file = element.cell(SceneTreeColumn::FileName);
            missing << (file.isEmpty() ? element.cell(SceneTreeColumn::Element) : file);
        }
        break;
    }
    return missing;
}

bool ConfiguredCreateScene::useLibraryFiles() const
{
    return m_configuration.useLibraryFiles;
}

bool ConfiguredCreateScene::moveFilesToRelativePath() const
{
    return m_configuration.moveFilesToRelativePath;
}

bool ConfiguredCreateScene::collectFiles() const
{
    return m_configuration.list.target == TargetCollect;
}

bool ConfiguredCreateScene::useTemplate() const
{
    return m_configuration.useTemplate;
}

QString ConfiguredCreateScene::templatePath() const
{
    return m_configuration.templatePath;
}

QStringList ConfiguredCreateScene::scripts() const
{
    return m_configuration.scripts;
}

void ConfiguredCreateScene::refreshLibraryBeforeNextLookUp()
{
    m_core.refreshLibraryBeforeNextLookUp();
}

int ConfiguredCreateScene::libraryDepth() const
{
    return m_configuration.libraryDepth();
}

ProductionValues ConfiguredCreateScene::productionValues() const
{
    return m_configuration.list.production;
}

QVector<TableFile> ConfiguredCreateScene::GetFileToImportFromTable(const QString &sceneName,
                                                                   int position)
{
    return m_core.GetFileToImportFromTable(m_configuration.list, sceneName, position);
}

QVector<SceneToCreate> ConfiguredCreateScene::selectedScenes() const
{
    QVector<SceneToCreate> scenes;
    for (const SceneTreeScene &scene : m_core.tree().scenes()) {
        if (!scene.selected)
            continue;
        SceneToCreate created;
        created.name = scene.cell(SceneTreeColumn::Element);
        for (const SceneTreeRow &row : scene.elements)
            created.elements << row.toElementToCreate();
        scenes << created;
    }
    return scenes;
}

QString ConfiguredCreateScene::destinationDir() const
{
    return m_configuration.list.destinationDir;
}

QString ConfiguredCreateScene::inputDirectory() const
{
    return m_configuration.list.isFromSPI() ? QString() : m_configuration.list.sceneListPath;
}

QString ConfiguredCreateScene::inputExtension() const
{
    return m_configuration.list.isFromSPI() ? QString() : m_configuration.list.inputExtension;
}
