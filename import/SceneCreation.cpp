#include "import/SceneCreation.h"

#include "import/CreateSceneSource.h"
#include "import/HostColumnAssembler.h"
#include "import/HostConnection.h"
#include "import/ImportProgress.h"
#include "import/SceneHost.h"
#include "import/SceneImport.h"
#include "import/vipLi.h"
#include "import/vipLi_p.h"
#include "support/LogSink.h"
#include "support/Prompts.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Element types of the scene tree that become part of the scene.
enum ElementType { kMovie = 3, kSound = 4, kIma = 5, kAsset = 6 };

bool itemDuration(AEGP_ItemH item, A_Time *duration)
{
    return VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
        return VIP_HOST_OK(suites.itemSuite()->AEGP_GetItemDuration(item, duration));
    });
}

void setCurrentCompDuration(const A_Time &duration)
{
    VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &connection) {
        if (!connection.currentComp())
            return VIP_HOST_OK(A_Err_PARAMETER); // the scene has no composition of its own
        return VIP_HOST_OK(
            suites.compSuite()->AEGP_SetCompDuration(connection.currentComp(), &duration));
    });
}

AEGP_ItemH importElement(const QString &file)
{
    AEGP_ItemH item = SceneHost::ImportToElements(file);
    if (!item)
        appendLog(
            QStringLiteral("-ERR- CreateScene: the file [%1] could not be imported").arg(file));
    return item;
}

} // namespace

SceneCreation::SceneCreation(const ImportOptions &options, CreateSceneSource &createScene,
                             SceneImport &preparation)
    : m_options(options), m_createScene(createScene), m_preparation(preparation)
{}

void SceneCreation::CreateScene()
{
    m_scenesCreated = 0;
    const QVector<SceneToCreate> scenes = m_createScene.selectedScenes();
    if (scenes.isEmpty()) {
        Prompts::current().warning(nullptr, QStringLiteral("Warning"),
                                   QStringLiteral("Select Scenes to Create first"));
        return;
    }
    if (!m_preparation.PrepareImport())
        return;
    // Without an output directory the projects would land in whatever folder is current.
    const QString destination = m_createScene.destinationDir();
    if (destination.isEmpty()) {
        Prompts::current().warning(nullptr, QStringLiteral("Warning"),
                                   QStringLiteral("Select Destination Directory first"));
        return;
    }

    QStringList names;
    for (const SceneToCreate &scene : scenes)
        names << scene.name;
    const int done =
        runScenes(m_progress, names, [&](int i) { createOneScene(destination, scenes.at(i)); });
    if (done < names.size())
        appendLog(QStringLiteral("-WAR- CreateScene stopped by the user after %1 of %2 scenes")
                      .arg(done)
                      .arg(names.size()));
}

A_Time SceneCreation::sceneDuration(const QString &scene) const
{
    const A_Time oneSecond{25, 25};
    const QString extension = m_createScene.inputExtension();
    if (extension.isEmpty())
        return oneSecond;
    const QString movie = QDir::toNativeSeparators(
        QStringLiteral("%1/%2.%3").arg(m_createScene.inputDirectory(), scene, extension));
    A_Time duration{0, 1};
    const AEGP_ItemH item = importElement(movie);
    if (!item || !itemDuration(item, &duration) || duration.scale == 0)
        return oneSecond;
    return duration;
}

void SceneCreation::addElement(const SceneElementToCreate &element, const QString &sceneDir,
                               HostColumnAssembler &assembler)
{
    switch (element.type) {
    case kMovie:
    case kSound: {
        const AEGP_ItemH item = importElement(m_preparation.CopyToFootage(element.path, sceneDir));
        if (!item)
            return;
        A_Time duration{0, 1};
        if (element.type == kMovie && itemDuration(item, &duration))
            setCurrentCompDuration(duration);
        SceneHost::AddLayerToCurrentComp(item);
        return;
    }
    case kIma:
        assembler.ImportColFile(m_preparation.CopyToFootage(element.path, sceneDir), kColumnFixed,
                                m_options.compFrameRate, element.layerDir);
        return;
    case kAsset:
        assembler.ImportColFile(element.path, kColumnFixed, m_options.compFrameRate,
                                element.layerDir);
        return;
    default:
        return;
    }
}

void SceneCreation::createOneScene(const QString &destination, const SceneToCreate &scene)
{
    if (HostConnection *connection = HostConnection::instance())
        connection->clearCurrentComp();
    SceneHost sceneHost(m_options, m_createScene);
    QString outputFile;
    AEGP_ProjectH project = nullptr;
    if (!sceneHost.NewSceneProject(destination, scene.name, &outputFile, &project)) {
        appendLog(QStringLiteral("-ERR- CreateScene: no project could be opened for the scene "
                                 "[%1]; the scene is skipped")
                      .arg(scene.name));
        return;
    }
    const QString sceneDir = QFileInfo(outputFile).absolutePath();
    const A_Ratio rate{A_long(m_options.compFrameRate), 1};
    sceneHost.CreateSceneComp(outputFile, scene.name, sceneDuration(scene.name), rate,
                              m_options.compWidth, m_options.compHeight);
    HostColumnAssembler assembler(m_options, m_createScene, sceneHost);
    for (const SceneElementToCreate &element : scene.elements) {
        if (element.found)
            addElement(element, sceneDir, assembler);
    }
    if (!SceneHost::SaveSceneProject(project, outputFile))
        return;
    ++m_scenesCreated;
    appendLog(QStringLiteral(" - File %1 Created").arg(outputFile));
}
