#include "panel/JobMode.h"

#include "board/LogMessageHandler.h"
#include "host/SuiteCache.h"
#include "import/HostConnection.h"
#include "import/ImportOptionsSettings.h"
#include "import/ImportProgress.h"
#include "import/SceneCreation.h"
#include "import/SceneHost.h"
#include "import/SceneImport.h"
#include "scenelist/ConfiguredCreateScene.h"
#include "support/LogSink.h"
#include "support/Prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QSysInfo>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const char kJobVariable[] = "CELLKIT_JOB";
enum ExitStatus { kAllDone = 0, kNotAllDone = 1, kCannotStart = 2 };
// A scene that logs thousands of warnings keeps the first ones: the result stays readable.
constexpr int kMaxMessages = 200;

QString now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

bool isError(const QString &line)
{
    return line.contains(QLatin1String("-ERR-"));
}

bool isReported(const QString &line)
{
    return isError(line) || line.contains(QLatin1String("-WAR-")) ||
           line.contains(QLatin1String("-Warning-"));
}

} // namespace

// Every line of the job goes to the standard error stream (the farm keeps it as the task's
// output, also when the host dies half-way) and on to the Board if there is one; warnings and
// errors are kept for the result, with the scene that was being built.
class JobModeLog final : public LogSink
{
public:
    explicit JobModeLog(JobResult &result) : m_result(result), m_previous(LogSink::current())
    {
        LogSink::setCurrent(this);
    }
    ~JobModeLog() override { LogSink::setCurrent(m_previous); }

    void appendLogLine(const QString &line) override
    {
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
        std::fflush(stderr);
        if (m_previous)
            m_previous->appendLogLine(line);
        if (!isReported(line))
            return;
        QStringList &target = m_scene >= 0 ? m_result.scenes[m_scene].messages : m_result.messages;
        if (target.size() < kMaxMessages)
            target << line;
        if (m_scene >= 0 && isError(line))
            m_sceneHasErrors = true;
    }

    void openScene(int index)
    {
        m_scene = index;
        m_sceneHasErrors = false;
    }
    void closeScene() { m_scene = -1; }
    bool sceneHasErrors() const { return m_sceneHasErrors; }

private:
    JobResult &m_result;
    LogSink *m_previous; // the Board's log, when a panel exists; not owned
    int m_scene = -1;
    bool m_sceneHasErrors = false;
};

namespace {

QString buttonName(Prompts::Button button)
{
    switch (button) {
    case Prompts::Ok:
        return QStringLiteral("OK");
    case Prompts::Cancel:
        return QStringLiteral("Cancel");
    case Prompts::Yes:
        return QStringLiteral("Yes");
    case Prompts::No:
        return QStringLiteral("No");
    case Prompts::NoButton:
        break;
    }
    return QStringLiteral("no button");
}

// Nobody sits at a farm node: each question takes its default and says so in the log.
class JobPrompts final : public Prompts
{
public:
    Button message(QWidget *, Kind, const QString &title, const QString &text, Buttons buttons,
                   Button defaultButton) override
    {
        const Button answer = defaultButton != NoButton  ? defaultButton
                              : buttons.testFlag(Cancel) ? Cancel
                              : buttons.testFlag(Ok)     ? Ok
                                                         : NoButton;
        appendLog(QStringLiteral("-WAR- Job: question \"%1\" [%2] answered %3")
                      .arg(title, text.simplified(), buttonName(answer)));
        return answer;
    }
    QString chooseDirectory(QWidget *, const QString &title, const QString &) override
    {
        return chooseNothing(title);
    }
    QString chooseOpenFile(QWidget *, const QString &title, const QString &,
                           const QString &) override
    {
        return chooseNothing(title);
    }
    QString chooseSaveFile(QWidget *, const QString &title, const QString &,
                           const QString &) override
    {
        return chooseNothing(title);
    }

private:
    static QString chooseNothing(const QString &title)
    {
        appendLog(QStringLiteral("-WAR- Job: chooser \"%1\" cancelled").arg(title));
        return QString();
    }
};

class PromptsScope
{
public:
    PromptsScope() : m_previous(Prompts::install(&m_prompts)) {}
    ~PromptsScope() { Prompts::install(m_previous); }

private:
    JobPrompts m_prompts;
    Prompts *m_previous;
};

// The host's open project: where it was last saved, and whether it changed since.
struct OpenProject
{
    QString path;
    bool dirty = true;
};

OpenProject openProject()
{
    OpenProject state;
    HostConnection *connection = HostConnection::instance();
    if (!connection)
        return state;
    try {
        SuiteCache suites(connection->basicSuite());
        const AEGP_ProjSuite5 *projects = suites.projSuite();
        A_long count = 0;
        AEGP_ProjectH project = nullptr;
        if (projects->AEGP_GetNumProjects(&count) != A_Err_NONE || count < 1 ||
            projects->AEGP_GetProjectByIndex(0, &project) != A_Err_NONE || !project)
            return state;
        A_Boolean dirty = true;
        AEGP_MemHandle path = nullptr;
        if (projects->AEGP_ProjectIsDirty(project, &dirty) != A_Err_NONE ||
            projects->AEGP_GetProjectPath(project, &path) != A_Err_NONE || !path)
            return state;
        const AEGP_MemorySuite1 *memory = suites.memorySuite();
        void *text = nullptr;
        if (memory->AEGP_LockMemHandle(path, &text) == A_Err_NONE && text) {
            state.path = QString::fromUtf16(static_cast<const char16_t *>(text));
            memory->AEGP_UnlockMemHandle(path);
        }
        memory->AEGP_FreeMemHandle(path);
        state.dirty = dirty != 0;
    } catch (int) {
        // A suite the host does not give: no project is known to be saved.
    }
    return state;
}

// Follows the scene loop: each scene's end is the next scene's start, or the end of the run.
// A scene is done when the host's open project was saved for it (a path not claimed by an
// earlier scene, nothing changed since) and it logged no error.
class JobProgress final : public ImportProgress
{
public:
    using MissingElements = std::function<QStringList(const QString &scene)>;
    JobProgress(JobResult &result, JobModeLog &log, MissingElements missing)
        : m_result(result), m_log(log), m_missing(std::move(missing))
    {}

    void start(int) override {}
    void sceneStarted(int, int, const QString &sceneName) override
    {
        closeScene();
        SceneResult scene;
        scene.name = sceneName;
        m_result.scenes << scene;
        m_open = m_result.scenes.size() - 1;
        m_log.openScene(m_open);
    }
    bool stopRequested() override { return false; }
    void finish() override { closeScene(); }

private:
    void closeScene()
    {
        LogSink::flush(); // lines a batch still holds belong to this scene
        if (m_open < 0)
            return;
        SceneResult &scene = m_result.scenes[m_open];
        m_open = -1;
        const OpenProject project = openProject();
        const bool saved = !project.path.isEmpty() && !project.dirty &&
                           !m_claimed.contains(project.path) && QFileInfo::exists(project.path);
        if (saved) {
            scene.project = project.path;
            m_claimed.insert(project.path);
        } else {
            scene.messages << QStringLiteral("-ERR- Job: no project was saved for the scene");
        }
        if (m_missing)
            scene.missing = m_missing(scene.name);
        scene.status = saved && !m_log.sceneHasErrors() ? SceneResult::Done : SceneResult::Failed;
        m_log.closeScene();
    }

    JobResult &m_result;
    JobModeLog &m_log;
    MissingElements m_missing;
    int m_open = -1; // the scene being built, in m_result.scenes
    QSet<QString> m_claimed;
};

void addSkipped(JobResult &result, const QString &scene, const QString &why)
{
    SceneResult skipped;
    skipped.name = scene;
    skipped.status = SceneResult::Skipped;
    skipped.messages << QStringLiteral("-WAR- Job: scene skipped: %1").arg(why);
    result.scenes << skipped;
}

bool isSceneFolderName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

} // namespace

JobMode::JobMode(const QString &jobFile) : m_jobFile(jobFile) {}

QString JobMode::jobFileFromEnvironment()
{
    return qEnvironmentVariable(kJobVariable);
}

int JobMode::run()
{
    m_ran = true;
    m_result = JobResult();
    m_result.job = m_jobFile;
    m_result.node = QSysInfo::machineHostName();
    m_result.begin = now();
    m_resultPath = FarmJob::fallbackResultPath(m_jobFile);
    // Qt's messages (the runs' -START- and -INF- lines among them) reach the log as well.
    installLogMessageHandler();
    JobModeLog log(m_result);
    const PromptsScope prompts;
    appendLog(QStringLiteral("-INF- Job [%1] on %2").arg(m_jobFile, m_result.node));

    FarmJob job;
    int status = kCannotStart;
    QFile file(m_jobFile);
    QString error;
    if (m_jobFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        status = cannotStart(QStringLiteral("the job file [%1] cannot be read: %2")
                                 .arg(m_jobFile, file.errorString()));
    } else if (!FarmJob::fromJson(file.readAll(), QFileInfo(m_jobFile).absolutePath(), &job,
                                  &error)) {
        status =
            cannotStart(QStringLiteral("the job file [%1] is not valid: %2").arg(m_jobFile, error));
    } else {
        m_resultPath = job.result;
        job.scenes.removeDuplicates();
        status = execute(job, log);
    }

    m_result.end = now();
    LogSink::flush();
    if (!m_result.write(m_resultPath, &error)) {
        appendLog(QStringLiteral("-ERR- Job: the result could not be written to [%1]: %2")
                      .arg(m_resultPath, error));
        return kCannotStart;
    }
    appendLog(
        QStringLiteral("-INF- Job result [%1]: exit status %2").arg(m_resultPath).arg(status));
    return status;
}

int JobMode::execute(const FarmJob &job, JobModeLog &log)
{
    if (!QFileInfo(job.configuration).isFile())
        return cannotStart(
            job, QStringLiteral("the configuration [%1] does not exist").arg(job.configuration));
    QSettings settings(job.configuration, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return cannotStart(
            job, QStringLiteral("the configuration [%1] cannot be read").arg(job.configuration));
    const ImportOptions options = readImportOptions(settings);
    ConfiguredCreateScene source(CreateSceneConfiguration::read(settings),
                                 QFileInfo(job.configuration).absolutePath());
    m_result.started = true;
    if (job.action == FarmJob::Import)
        return runImport(job, options, source, log);
    return runCreate(job, options, source, log);
}

int JobMode::runCreate(const FarmJob &job, const ImportOptions &options,
                       ConfiguredCreateScene &source, JobModeLog &log)
{
    if (!job.sceneList.isEmpty())
        source.setSceneListPath(job.sceneList);
    if (source.load().outcome != SceneListLoad::Read)
        return cannotStart(job, QStringLiteral("the scene list [%1] could not be read")
                                    .arg(source.configuration().list.sceneListPath));
    const QStringList unknown = source.select(job.scenes);
    for (const QString &scene : unknown)
        addSkipped(m_result, scene, QStringLiteral("not in the scene list"));
    if (unknown.size() < job.scenes.size()) {
        JobProgress progress(m_result, log, [&source](const QString &scene) {
            return source.missingElements(scene);
        });
        SceneImport preparation(options, source);
        SceneCreation run(options, source, preparation);
        run.setProgress(&progress);
        run.CreateScene();
    }
    return finish(job);
}

int JobMode::runImport(const FarmJob &job, const ImportOptions &options,
                       ConfiguredCreateScene &source, JobModeLog &log)
{
    if (!options.newProject)
        return cannotStart(job, QStringLiteral("\"Create New Project (Batch Mode)\" is off in the "
                                               "configuration; a job saves each scene as a "
                                               "project of its own"));
    QStringList present;
    for (const QString &scene : job.scenes) {
        const QString folder = QDir(job.inputRoot).filePath(scene);
        if (!isSceneFolderName(scene))
            addSkipped(m_result, scene, QStringLiteral("not a folder name"));
        else if (!QFileInfo(folder).isDir())
            addSkipped(m_result, scene, QStringLiteral("no scene folder [%1]").arg(folder));
        else
            present << scene;
    }
    if (!present.isEmpty()) {
        JobProgress progress(m_result, log, nullptr);
        SceneImport run(options, source);
        run.setProgress(&progress);
        run.ImportScene(job.inputRoot, present);
    }
    return finish(job);
}

int JobMode::cannotStart(const QString &why)
{
    m_result.started = false;
    m_result.error = why;
    appendLog(QStringLiteral("-ERR- Job: cannot start: %1").arg(why));
    return kCannotStart;
}

int JobMode::cannotStart(const FarmJob &job, const QString &why)
{
    const int status = cannotStart(why);
    m_result.scenes.clear();
    for (const QString &scene : job.scenes) {
        SceneResult failed;
        failed.name = scene;
        failed.messages << QStringLiteral("-ERR- Job: cannot start: %1").arg(why);
        m_result.scenes << failed;
    }
    return status;
}

// One result per scene of the job, in the job's order; a scene the run never reached (it
// stopped before, e.g. on a missing template) failed.
int JobMode::finish(const FarmJob &job)
{
    QVector<SceneResult> ordered;
    bool allDone = true;
    for (const QString &name : job.scenes) {
        auto found = std::find_if(m_result.scenes.cbegin(), m_result.scenes.cend(),
                                  [&name](const SceneResult &s) { return s.name == name; });
        SceneResult scene;
        if (found != m_result.scenes.cend()) {
            scene = *found;
        } else {
            scene.name = name;
            scene.messages << QStringLiteral("-ERR- Job: the run did not reach the scene");
        }
        allDone = allDone && scene.status == SceneResult::Done;
        ordered << scene;
    }
    m_result.scenes = ordered;
    return allDone ? kAllDone : kNotAllDone;
}

void JobMode::runAndQuit()
{
    if (!pending())
        return;
    const int status = run();
    // The host's Application object: exitCode is the status of a session started from the
    // command line; quit() ends the session. A project left modified (a save that failed) is
    // closed unsaved first, where the host can, so that no "save changes?" box holds the node.
    SceneHost::RunScript(
        QStringLiteral(
            "app.exitCode = %1;\n"
            "if (typeof CloseOptions !== \"undefined\" && app.project && app.project.close)\n"
            "    app.project.close(CloseOptions.DO_NOT_SAVE_CHANGES);\n"
            "app.quit();")
            .arg(status),
        QString());
}
