#include "import/SceneCreation.h"

#include "import/CreateSceneSource.h"
#include "import/FolderZip.h"
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
#include "support/MissingFilesText.h"
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

QString leftOutText(int leftOut)
{
    return leftOut > 0 ? QStringLiteral("; %1 element(s) left out").arg(leftOut) : QString();
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
    m_collect = m_createScene.collectFiles();
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

A_Time SceneCreation::sceneDuration(const QString &scene, FootageCopies &copies) const
{
    const A_Time oneSecond{25, 25};
    const QString extension = m_createScene.inputExtension();
    if (extension.isEmpty())
        return oneSecond;
    // The scene is named after its movie, whose extension may be spelled otherwise on disk.
    const QString movie = spellingOnDisk(
        QStringLiteral("%1/%2.%3").arg(m_createScene.inputDirectory(), scene, extension));
    A_Time duration{0, 1};
    const QString file = m_collect ? copies.copyOrSource(movie) : movie;
    const AEGP_ItemH item = importElement(scene, QDir::toNativeSeparators(file));
    if (!item || !itemDuration(item, &duration) || duration.scale == 0)
        return oneSecond;
    return duration;
}

QString SceneCreation::fileToImport(int type, const QString &file, FootageCopies &copies) const
{
    if (m_collect)
        return copies.copyOrSource(file);
    // Assets stay in the library; the scene's own movie, sound and images may be copied.
    return type == kAsset ? file : m_preparation.CopyToFootage(file, copies);
}

bool SceneCreation::addElement(const QString &scene, int type, const QString &found,
                               const QString &layerDir, FootageCopies &copies,
                               HostColumnAssembler &assembler)
{
    const QString file = fileToImport(type, found, copies);
    switch (type) {
    case kMovie:
    case kSound: {
        const AEGP_ItemH item = importElement(scene, file);
        if (!item)
            return false;
        A_Time duration{0, 1};
        if (type == kMovie && itemDuration(item, &duration))
            setCurrentCompDuration(duration);
        SceneHost::AddLayerToCurrentComp(item);
        return true;
    }
    case kIma:
    case kAsset:
        if (assembler.ImportColFile(file, kColumnFixed, m_options.compFrameRate, layerDir))
            return true;
        logNotImported(scene, file);
        return false;
    default:
        return false;
    }
}

QString SceneCreation::collectScene(const QString &scene, const QString &sceneDir,
                                    const QString &missing, const FootageCopies &copies) const
{
    const QString zipPath =
        QFileInfo(sceneDir).absolutePath() + QLatin1Char('/') + scene + QLatin1String(".zip");
    QVector<ExtraZipFile> extra;
    if (!missing.isEmpty())
        extra.append(
            {QStringLiteral("MISSING.txt"), (missingFilesSceneLine(scene) + missing).toUtf8()});
    const QString collected = QStringLiteral("; %1 file(s), %2 bytes collected")
                                  .arg(copies.filesUsed())
                                  .arg(copies.bytesUsed());
    QString error;
    if (!writeFolderZip(sceneDir, zipPath, extra, &error)) {
        appendLog(QStringLiteral("-ERR- CreateScene [%1]: the zip [%2] could not be written: %3")
                      .arg(scene, zipPath, error));
        return collected + QStringLiteral(", no zip written");
    }
    return collected + QStringLiteral(" in ") + zipPath;
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
    FootageCopies copies(sceneDir);
    const A_Ratio rate{A_long(m_options.compFrameRate), 1};
    sceneHost.CreateSceneComp(outputFile, scene.name, sceneDuration(scene.name, copies), rate,
                              m_options.compWidth, m_options.compHeight);
    HostColumnAssembler assembler(m_options, m_createScene, sceneHost);
    int leftOut = 0;
    QString missing; // the MISSING.txt lines of a collected scene
    for (const SceneElementToCreate &element : scene.elements) {
        // A tree made before the library gave paths as spelled on disk may name another case.
        const QString found = element.found ? spellingOnDisk(element.path) : QString();
        const bool gone = element.found && !QFileInfo::exists(found);
        if (isListedAsMissing(element.type, element.found && !gone))
            missing += missingFilesElementLine(element.name, element.fileName);
        if (!isBuilt(element.type))
            continue;
        if (!element.found) {
            appendLog(QStringLiteral("-WAR- CreateScene [%1]: %2 (%3) was not found; left out")
                          .arg(scene.name, element.name, element.fileName));
            ++leftOut;
        } else if (gone) {
            appendLog(QStringLiteral("-ERR- CreateScene [%1]: %2 was found at [%3], which is not "
                                     "there any more; left out")
                          .arg(scene.name, element.name, element.path));
            ++leftOut;
        } else if (!addElement(scene.name, element.type, found, element.layerDir, copies,
                               assembler)) {
            ++leftOut;
        }
    }
    copies.save();
    if (!SceneHost::SaveSceneProject(project, outputFile))
        return;
    ++m_scenesCreated;
    QString closing = QStringLiteral(" - File %1 Created").arg(outputFile) + leftOutText(leftOut);
    if (m_collect)
        closing += collectScene(scene.name, sceneDir, missing, copies);
    appendLog(closing);
}
