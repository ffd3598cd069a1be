#include "import/HostColumnAssembler.h"

#include "import/CreateSceneSource.h"
#include "import/HostConnection.h"
#include "import/HostScripts.h"
#include "import/SceneHost.h"
#include "import/vipLi.h"
#include "support/LogSink.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

QString currentCompName()
{
    const HostConnection *connection = HostConnection::instance();
    return connection ? connection->currentCompName() : QString();
}

} // namespace

HostColumnAssembler::HostColumnAssembler(const ImportOptions &options,
                                         const CreateSceneSource &createScene, SceneHost &sceneHost)
    : m_options(options), m_createScene(createScene), m_sceneHost(sceneHost)
{}

void HostColumnAssembler::createSceneComposition(const QString &compNameSource,
                                                 const QString &sceneName, int nbIma, int frameRate,
                                                 int width, int height)
{
    // nbIma frames at frameRate: the host time nbIma/frameRate seconds.
    const A_Time duration{A_long(nbIma), A_u_long(qMax(frameRate, 0))};
    const A_Ratio rate{A_long(frameRate), 1};
    m_footage.invalidate();
    m_sceneHost.CreateSceneComp(compNameSource, sceneName, duration, rate, width, height);
}

void HostColumnAssembler::importColumn(const QString &filePath, bool isSequence, int frameRate,
                                       const QString &folder, bool hasFolder)
{
    ImportColFile(filePath, isSequence ? kColumnSequence : kColumnFixed, frameRate,
                  hasFolder ? folder : QString());
}

void HostColumnAssembler::precomposeLayers(int count, const QString &name)
{
    PrecomposeLayers(1, count, name);
}

void HostColumnAssembler::runBatchScripts()
{
    RunBatchScripts();
}

QString HostColumnAssembler::columnFileByName(const QString &dir, const QString &name, int type,
                                              const QString &ext)
{
    if (name.isEmpty())
        return QString();
    const QString extension = ext.isEmpty() ? QStringLiteral("png") : ext;
    const QString file = type == kColumnSequence ? name + QLatin1String("0001.") + extension
                                                 : name + QLatin1Char('.') + extension;
    return dir + QLatin1Char('/') + file;
}

bool HostColumnAssembler::ImportColByName(const QString &dir, const QString &name, int type,
                                          const QString &ext, int fps)
{
    const QString file = columnFileByName(dir, name, type, ext);
    return !file.isEmpty() && ImportColFile(file, type, fps, QString());
}

bool HostColumnAssembler::ImportColFile(const QString &path, int type, int fps,
                                        const QString &folder)
{
    const QString file = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QString ext = QFileInfo(file).suffix().toLower();
    if (ext == QLatin1String("psd")) {
        SceneHost::RunScript(psdColumnScript(file), currentCompName());
        return true;
    }
    if (ext == QLatin1String("aep")) {
        SceneHost::RunScript(aepColumnScript(file), currentCompName());
        return true;
    }
    AEGP_ItemH item = nullptr;
    // What callers did to the project between two calls (elements imported by other means)
    // went through the host operations, which the index hears of.
    if (!ImportFootage(type, file, &item, folder, m_options.createZeroIma, &m_footage))
        return false;
    SetFootageFrameRate(item, fps);
    return SceneHost::AddLayerToCurrentComp(item);
}

void HostColumnAssembler::PrecomposeLayers(int first, int count, const QString &name)
{
    const QString script = precomposeScript(layerIndexList(first, count), name);
    appendLog(script);
    SceneHost::RunScript(script, currentCompName());
}

void HostColumnAssembler::RunBatchScripts()
{
    const QStringList scripts = batchScripts(m_createScene.scripts());
    for (const QString &script : scripts)
        qDebug().noquote() << QStringLiteral("Batch Script : ") + script;
    for (const QString &script : scripts) {
        if (QFileInfo::exists(script))
            SceneHost::RunScriptFile(script, currentCompName());
        else
            qWarning("ERROR : Batch Script 45636856367");
    }
}
