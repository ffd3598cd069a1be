#include "import/SceneImport.h"

#include "import/CreateSceneSource.h"
#include "import/ExpoDescriptor.h"
#include "import/FootageCopies.h"
#include "import/HostColumnAssembler.h"
#include "import/HostConnection.h"
#include "import/ImportProgress.h"
#include "import/SceneAnalysis.h"
#include "import/SceneHost.h"
#include "support/LogSink.h"
#include "support/Prompts.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

int runScenes(ImportProgress *progress, const QStringList &names,
              const std::function<void(int index)> &runScene)
{
    const int count = names.size();
    if (progress)
        progress->start(count);
    int done = 0;
    for (; done < count; ++done) {
        if (done > 0 && progress && progress->stopRequested())
            break;
        if (progress)
            progress->sceneStarted(done + 1, count, names.at(done));
        runScene(done);
    }
    if (progress)
        progress->finish();
    return done;
}

SceneImport::SceneImport(const ImportOptions &options, CreateSceneSource &createScene)
    : m_options(options), m_createScene(createScene)
{}

void SceneImport::ImportScene(const QString &root, const QStringList &scenes)
{
    m_scenesImported = 0;
    const QString rootPath = QDir(root).absolutePath();
    qDebug().noquote() << QStringLiteral("-INF- ImportScene");
    if (scenes.isEmpty()) {
        Prompts::current().warning(nullptr, QStringLiteral("Warning"),
                                   QStringLiteral("Select Scenes to import first"));
        return;
    }
    if (!PrepareImport())
        return;

    const int done =
        runScenes(m_progress, scenes, [&](int i) { importOneScene(rootPath, scenes.at(i)); });
    if (done < scenes.size()) {
        appendLog(QStringLiteral("-WAR- ImportScene stopped by the user after %1 of %2 scenes; "
                                 "not imported: %3")
                      .arg(done)
                      .arg(scenes.size())
                      .arg(scenes.mid(done).join(QStringLiteral(", "))));
    }
    qDebug().noquote() << QStringLiteral("-END- ImportScene");
}

void SceneImport::importOneScene(const QString &root, const QString &scene)
{
    const QString sceneDir = root + QLatin1Char('/') + scene;
    const QString descriptor = sceneDir + QLatin1Char('/') + scene + QLatin1String(".xml");
    appendLog(QStringLiteral("xmlFile[%1]").arg(descriptor));
    const bool useXml = m_options.useXml && QFileInfo(descriptor).isFile();
    if (m_createScene.useLibraryFiles())
        m_createScene.refreshLibraryBeforeNextLookUp();

    // Every scene starts without a composition: nothing of it may reach the previous one's.
    if (HostConnection *connection = HostConnection::instance())
        connection->clearCurrentComp();
    SceneHost sceneHost(m_options, m_createScene);
    QString outputFile;
    AEGP_ProjectH project = nullptr;
    if (m_options.newProject && !sceneHost.NewSceneProject(root, scene, &outputFile, &project)) {
        // Building into the project still open would save the previous scene again under
        // this scene's name.
        appendLog(QStringLiteral("-ERR- ImportScene: no project could be opened for the scene "
                                 "[%1]; the scene is skipped")
                      .arg(sceneDir));
        return;
    }

    HostColumnAssembler assembler(m_options, m_createScene, sceneHost);
    ExpoDescriptor reader(m_options, assembler);
    if (useXml) {
        reader.ImportSceneFromXml(descriptor);
    } else {
        SceneAnalysis analysis(m_options, m_createScene, reader);
        analysis.ImportSceneFromDir(sceneDir);
    }
    ++m_scenesImported;
    if (m_options.newProject)
        SceneHost::SaveSceneProject(project, outputFile);
}

bool SceneImport::PrepareImport()
{
    if (m_saveSettings)
        m_saveSettings();
    if (m_createScene.useTemplate() && !QFileInfo(m_createScene.templatePath()).isFile()) {
        Prompts::current().warning(
            nullptr, QStringLiteral("Warning"),
            QStringLiteral("Template File [%1] not found").arg(m_createScene.templatePath()));
        return false;
    }
    if (m_options.newProject && SceneHost::IsProjectDirty()) {
        // The box offers no way to save: the user saves the project first, or discards it.
        const Prompts::Button answer = Prompts::current().question(
            nullptr, QString(),
            QStringLiteral("The Current Project has been Modified ...\n\n"
                           "Do you want to save your changes ?"),
            Prompts::Buttons(Prompts::No | Prompts::Cancel), Prompts::Cancel);
        if (answer != Prompts::No)
            return false;
    }
    return true;
}

QString SceneImport::CopyToFootage(const QString &file, FootageCopies &copies) const
{
    if (!m_createScene.moveFilesToRelativePath())
        return file;
    return copies.copyOrSource(file);
}
