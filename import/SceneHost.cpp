#include "import/SceneHost.h"

#include "import/CreateSceneSource.h"
#include "import/HostScripts.h"
#include "import/vipLi.h"
#include "import/vipLi_p.h"
#include "support/FileNameCheck.h"
#include "support/LogSink.h"
#include "support/Prompts.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

HostConnection *connection()
{
    return HostConnection::instance();
}

// Hands a script text to the host (UTF-8) and gives back its result and error texts. False
// when the host call itself failed (recorded like any host call).
bool executeScript(const QString &text, QString *result, QString *error)
{
    const QByteArray utf8 = text.toUtf8();
    return VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &connection) {
        AEGP_MemHandle resultHandle = nullptr;
        AEGP_MemHandle errorHandle = nullptr;
        connection.projectChanged();
        const bool executed = VIP_HOST_OK(suites.utilitySuite()->AEGP_ExecuteScript(
            connection.pluginId(), utf8.constData(), false, &resultHandle, &errorHandle));
        // Whatever came back is ours to free, also after a failed call.
        const bool resultRead = vipli::takeUtf8Text(suites, resultHandle, result);
        const bool errorRead = vipli::takeUtf8Text(suites, errorHandle, error);
        return executed && resultRead && errorRead;
    });
}

} // namespace

SceneHost::SceneHost(const ImportOptions &options, const CreateSceneSource &createScene)
    : m_options(options), m_createScene(createScene)
{}

QString SceneHost::resolveScenePattern(const QString &pattern, const QString &sceneName) const
{
    return m_createScene.productionValues().expand(pattern, sceneName);
}

QString SceneHost::sceneCompName(const QString &nameSource, const QString &sceneName) const
{
    const QString pattern = m_options.compName.trimmed();
    if (!pattern.isEmpty())
        return resolveScenePattern(pattern, sceneName);
    return QFileInfo(QDir::fromNativeSeparators(nameSource)).completeBaseName();
}

bool SceneHost::CreateSceneComp(const QString &nameSource, const QString &sceneName,
                                A_Time duration, A_Ratio frameRate, int width, int height)
{
    // Layers of this scene must never land in the previous scene's composition (in batch mode
    // that one belongs to a project that is closed by now).
    if (connection())
        connection()->clearCurrentComp();
    const QString name = sceneCompName(nameSource, sceneName);
    if (width == 0)
        width = m_options.compWidth;
    if (height == 0)
        height = m_options.compHeight;

    AEGP_CompH comp = nullptr;
    if (!m_options.useShellComp) {
        const A_Ratio square{1, 1};
        VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
            return VIP_HOST_OK(suites.compSuite()->AEGP_CreateComp(
                nullptr, vipli::utf16(name), width, height, &square, &duration, &frameRate, &comp));
        });
        if (!comp) {
            appendLog(QStringLiteral("-ERR- CreateSceneComp: the composition [%1] could not be "
                                     "created (%2x%3, %4 frames at %5 fps)")
                          .arg(name)
                          .arg(width)
                          .arg(height)
                          .arg(duration.value)
                          .arg(frameRate.num));
            return false;
        }
    } else {
        comp = FindCompByName(m_options.shellCompName);
        if (!comp) {
            Prompts::current().warning(
                nullptr, QStringLiteral("Warning"),
                QStringLiteral("comp Name [%1] not found").arg(m_options.shellCompName));
            return false;
        }
        // The shell keeps its frame rate and its layers; it takes the scene's name and size.
        VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
            const AEGP_CompSuite7 *comps = suites.compSuite();
            AEGP_ItemH item = nullptr;
            return VIP_HOST_OK(comps->AEGP_GetItemFromComp(comp, &item)) &&
                   VIP_HOST_OK(suites.itemSuite()->AEGP_SetItemName(item, vipli::utf16(name))) &&
                   VIP_HOST_OK(comps->AEGP_SetCompDuration(comp, &duration)) &&
                   VIP_HOST_OK(comps->AEGP_SetCompDimensions(comp, width, height));
        });
    }
    if (connection())
        connection()->setCurrentComp(comp, name);
    return true;
}

bool SceneHost::NewSceneProject(const QString &root, const QString &scene, QString *outputFile,
                                AEGP_ProjectH *project)
{
    *project = nullptr;
    const QString pattern = m_options.outputFileName.trimmed();
    const QString name = pattern.isEmpty() ? scene : resolveScenePattern(pattern, scene);
    // Both become names inside root: neither may lead out of it.
    for (const QString &part : {scene, name}) {
        if (const QString problem = fileNameProblem(part); !problem.isEmpty()) {
            appendLog(QStringLiteral("-ERR- NewSceneProject: [%1] cannot name the scene's folder "
                                     "or project: %2")
                          .arg(part, problem));
            return false;
        }
    }
    const QString sceneDir = QDir(root).absolutePath() + QLatin1Char('/') + scene;
    QDir().mkpath(sceneDir);
    QDir::setCurrent(sceneDir);
    *outputFile = sceneDir + QLatin1Char('/') + name + QLatin1String(".aep");

    const bool useTemplate = m_createScene.useTemplate();
    const QString templatePath = QDir::toNativeSeparators(m_createScene.templatePath());
    return VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &connection) {
        const AEGP_ProjSuite5 *projects = suites.projSuite();
        connection.projectChanged();
        if (!useTemplate)
            return VIP_HOST_OK(projects->AEGP_NewProject(project));
        return VIP_HOST_OK(projects->AEGP_OpenProjectFromPath(vipli::utf16(templatePath), project));
    });
}

bool SceneHost::AddLayerToCurrentComp(AEGP_ItemH item)
{
    return VIP_WITH_SUITES([item](SuiteCache &suites, HostConnection &connection) {
        if (!connection.currentComp())
            return VIP_HOST_OK(A_Err_PARAMETER); // no scene composition to add to
        return VIP_HOST_OK(
            suites.layerSuite()->AEGP_AddLayer(item, connection.currentComp(), nullptr));
    });
}

bool SceneHost::IsProjectDirty()
{
    bool dirty = false;
    VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
        const AEGP_ProjSuite5 *projects = suites.projSuite();
        A_long count = 0;
        if (!VIP_HOST_OK(projects->AEGP_GetNumProjects(&count)) || count < 1)
            return false;
        AEGP_ProjectH project = nullptr;
        A_Boolean flag = false;
        if (!VIP_HOST_OK(projects->AEGP_GetProjectByIndex(0, &project)) || !project ||
            !VIP_HOST_OK(projects->AEGP_ProjectIsDirty(project, &flag)))
            return false;
        dirty = flag != 0;
        return true;
    });
    return dirty;
}

bool SceneHost::SaveSceneProject(AEGP_ProjectH project, const QString &file)
{
    const QString path = QDir::toNativeSeparators(file);
    const bool saved = VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
        return VIP_HOST_OK(suites.projSuite()->AEGP_SaveProjectAs(project, vipli::utf16(path)));
    });
    if (!saved)
        appendLog(QStringLiteral("-ERR- SaveSceneProject: the project could not be saved as [%1]")
                      .arg(file));
    return saved;
}

AEGP_ItemH SceneHost::ImportToElements(const QString &file)
{
    AEGP_ItemH item = nullptr;
    const QString path = QDir::toNativeSeparators(file);
    VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &connection) {
        const AEGP_FootageSuite5 *footage = suites.footageSuite();
        AEGP_FootageH made = nullptr;
        if (!VIP_HOST_OK(footage->AEGP_NewFootage(
                connection.pluginId(), vipli::utf16(path), nullptr, nullptr,
                AEGP_InterpretationStyle_NO_DIALOG_GUESS, nullptr, &made)))
            return false;
        AEGP_ProjectH project = nullptr;
        AEGP_ItemH root = nullptr;
        AEGP_ItemH folder = nullptr;
        connection.projectChanged();
        if (!VIP_HOST_OK(suites.projSuite()->AEGP_GetProjectByIndex(0, &project)) ||
            !VIP_HOST_OK(suites.projSuite()->AEGP_GetProjectRootFolder(project, &root)) ||
            !VIP_HOST_OK(suites.itemSuite()->AEGP_CreateNewFolder(
                vipli::utf16(QStringLiteral("ELEMENTS")), root, &folder)) ||
            !VIP_HOST_OK(footage->AEGP_AddFootageToProject(made, folder, &item))) {
            footage->AEGP_DisposeFootage(made);
            item = nullptr;
            return false;
        }
        return true;
    });
    return item;
}

bool SceneHost::RunScript(const QString &script, const QString &compName)
{
    const QString text = compName.isEmpty() ? script : compNamePrefix(compName, script);
    QString result;
    QString error;
    const bool ran = executeScript(text, &result, &error);
    appendLog(result);
    appendLog(error);
    return ran && error.isEmpty();
}

bool SceneHost::RunScriptFile(const QString &file, const QString &compName)
{
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        appendLog(QStringLiteral("-ERR- RunScriptFile: cannot read [%1]").arg(file));
        return false;
    }
    // The host runs the file (.jsx or compiled .jsxbin) itself, so nothing stands in front of
    // compiled code and the composition name can be defined in the same run.
    const QString script = evalFileScript(QDir::toNativeSeparators(info.absoluteFilePath()));
    QString result;
    QString error;
    const bool ran = executeScript(compName.isEmpty() ? script : compNamePrefix(compName, script),
                                   &result, &error);
    appendLog(result);
    appendLog(error.isEmpty() ? error : QStringLiteral("-ERR- Script [%1]: %2").arg(file, error));
    return ran && error.isEmpty();
}
