#include "import/SceneCreation.h"

#include "import/CreateSceneSource.h"
#include "import/FootageCopies.h"
#include "import/HostColumnAssembler.h"
#include "import/HostConnection.h"
#include "import/ImportProgress.h"
#include "import/SceneHost.h"
#include "import/SceneImport.h"
#include "import/vipLi.h"
#include "import/vipLi_p.h"
#include "support/FileNameCheck.h"
#include "support/LogSink.h"
#include "support/PathSpelling.h"
#include "support/Prompts.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Element types of the scene tree that become part of the scene.
enum ElementType { kMovie = 3, kSound = 4, kIma = 5, kAsset = 6 };

bool isBuilt(int type)
{
    return type >= kMovie && type <= kAsset;
}

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

void logNotImported(const QString &scene, const QString &file)
{
    appendLog(QStringLiteral("-ERR- CreateScene [%1]: the file [%2] could not be imported")
                  .arg(scene, file));
}

AEGP_ItemH importElement(const QString &scene, const QString &file)
{
    AEGP_ItemH item = SceneHost::ImportToElements(file);
    if (!item)
        logNotImported(scene, file);
    return item;
}

QString closingLine(const QString &outputFile, int leftOut)
{
    QString line = QStringLiteral(" - File %1 Created").arg(outputFile);
    if (leftOut > 0)
        line += QStringLiteral("; %1 element(s) left out").arg(leftOut);
    return line;
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
    // The scene is named after its movie, whose extension may be spelled otherwise on disk.
    const QString movie = spellingOnDisk(
        QStringLiteral("%1/%2.%3").arg(m_createScene.inputDirectory(), scene, extension));
    A_Time duration{0, 1};
    const AEGP_ItemH item = importElement(scene, QDir::toNativeSeparators(movie));
    if (!item || !itemDuration(item, &duration) || duration.scale == 0)
        return oneSecond;
    return duration;
}

bool SceneCreation::addElement(const QString &scene, const SceneElementToCreate &element,
                               FootageCopies &copies, HostColumnAssembler &assembler)
{
    // A tree made before the library gave paths as spelled on disk may name another case.
    const QString found = spellingOnDisk(element.path);
    if (!QFileInfo::exists(found)) {
        appendLog(QStringLiteral("-ERR- CreateScene [%1]: %2 was found at [%3], which is not "
                                 "there any more; left out")
                      .arg(scene, element.name, element.path));
        return false;
    }
    switch (element.type) {
    case kMovie:
    case kSound: {
        const AEGP_ItemH item = importElement(scene, m_preparation.CopyToFootage(found, copies));
        if (!item)
            return false;
        A_Time duration{0, 1};
        if (element.type == kMovie && itemDuration(item, &duration))
            setCurrentCompDuration(duration);
        SceneHost::AddLayerToCurrentComp(item);
        return true;
    }
    case kIma:
    case kAsset: {
        // Assets stay in the library; the scene's own images may be copied beside it.
        const QString file =
            element.type == kIma ? m_preparation.CopyToFootage(found, copies) : found;
        if (assembler.ImportColFile(file, kColumnFixed, m_options.compFrameRate, element.layerDir))
            return true;
        logNotImported(scene, file);
        return false;
    }
    default:
        return false;
    }
}

void SceneCreation::createOneScene(const QString &destination, const SceneToCreate &scene)
{
    if (HostConnection *connection = HostConnection::instance())
        connection->clearCurrentComp();
    // The name becomes a folder below the output folder: a list cell must not lead elsewhere.
    if (const QString problem = fileNameProblem(scene.name); !problem.isEmpty()) {
        appendLog(QStringLiteral("-ERR- CreateScene: the scene [%1] is not created, its name "
                                 "cannot be a folder name: %2")
                      .arg(scene.name, problem));
        return;
    }
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
    FootageCopies copies(sceneDir);
    int leftOut = 0;
    for (const SceneElementToCreate &element : scene.elements) {
        if (!isBuilt(element.type))
            continue;
        if (!element.found) {
            appendLog(QStringLiteral("-WAR- CreateScene [%1]: %2 (%3) was not found; left out")
                          .arg(scene.name, element.name, element.fileName));
            ++leftOut;
        } else if (!addElement(scene.name, element, copies, assembler)) {
            ++leftOut;
        }
    }
    copies.save();
    if (!SceneHost::SaveSceneProject(project, outputFile))
        return;
    ++m_scenesCreated;
    appendLog(closingLine(outputFile, leftOut));
}
