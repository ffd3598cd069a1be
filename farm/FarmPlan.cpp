#include "farm/FarmPlan.h"

#include "import/ImportOptionsSettings.h"
#include "scenelist/ConfiguredCreateScene.h"
#include "support/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

namespace {

const QString kFormat = QStringLiteral("cellkit-farm-plan");
const QString kPlanFile = QStringLiteral("plan.json");

QJsonArray texts(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

QStringList fromTexts(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &v : value.toArray())
        list << v.toString();
    return list;
}

bool configurationSettings(const QString &path, QString *error)
{
    if (QFileInfo(path).isFile())
        return true;
    *error = QStringLiteral("the configuration [%1] does not exist").arg(path);
    return false;
}

bool createSceneNames(const PlanRequest &request, QSettings &settings, QStringList *names,
                      QString *error)
{
    ConfiguredCreateScene source(CreateSceneConfiguration::read(settings),
                                 QFileInfo(request.configuration).absolutePath());
    if (!request.sceneList.isEmpty())
        source.setSceneListPath(QFileInfo(request.sceneList).absoluteFilePath());
    const QString list = source.configuration().list.sceneListPath;
    if (source.load().outcome != SceneListLoad::Read) {
        *error = QStringLiteral("the scene list [%1] could not be read").arg(list);
        return false;
    }
    *names = source.sceneNames();
    return true;
}

bool importSceneNames(const PlanRequest &request, QSettings &settings, QStringList *names,
                      QString *error)
{
    if (!readImportOptions(settings).newProject) {
        *error = QStringLiteral("\"Create New Project (Batch Mode)\" is off in the configuration: "
                                "a farm job saves each scene as a project of its own");
        return false;
    }
    const QDir root(request.importRoot);
    if (request.importRoot.isEmpty() || !root.exists()) {
        *error = QStringLiteral("the input folder [%1] does not exist").arg(request.importRoot);
        return false;
    }
    // As the Import Scene tab lists them: subfolders, not hidden ones, sorted by name.
    *names = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    return true;
}

} // namespace

QString FarmPlan::absolute(const QString &relative) const
{
    return QDir::cleanPath(QDir(m_folder).filePath(relative));
}

bool FarmPlan::sceneNames(const PlanRequest &request, QStringList *names, QString *error)
{
    if (!configurationSettings(request.configuration, error))
        return false;
    QSettings settings(request.configuration, QSettings::IniFormat);
    QStringList all;
    const bool read = request.importRoot.isEmpty()
                          ? createSceneNames(request, settings, &all, error)
                          : importSceneNames(request, settings, &all, error);
    if (!read)
        return false;
    all.removeDuplicates();
    if (request.scenes.isEmpty()) {
        *names = all;
        return true;
    }
    QStringList unknown;
    for (const QString &scene : request.scenes)
        if (!all.contains(scene))
            unknown << scene;
    if (!unknown.isEmpty()) {
        *error = QStringLiteral("not in the %1: %2")
                     .arg(request.importRoot.isEmpty() ? QStringLiteral("scene list")
                                                       : QStringLiteral("input folder"),
                          unknown.join(QStringLiteral(", ")));
        return false;
    }
    // In list order, whatever the order of --scenes.
    names->clear();
    for (const QString &scene : all)
        if (request.scenes.contains(scene))
            *names << scene;
    return true;
}

bool FarmPlan::create(const PlanRequest &request, FarmPlan *plan, QString *error)
{
    if (request.perJob < 1) {
        *error = QStringLiteral("--per-job needs a count of 1 or more");
        return false;
    }
    const QString folder = QFileInfo(request.folder).absoluteFilePath();
    if (QFileInfo::exists(QDir(folder).filePath(kPlanFile))) {
        *error = QStringLiteral("[%1] already holds a plan; choose a new folder").arg(folder);
        return false;
    }
    QStringList names;
    if (!sceneNames(request, &names, error))
        return false;
    if (names.isEmpty()) {
        *error = QStringLiteral("no scene to plan");
        return false;
    }
    plan->m_folder = folder;
    plan->action = request.importRoot.isEmpty() ? FarmJob::Create : FarmJob::Import;
    plan->configuration = QFileInfo(request.configuration).absoluteFilePath();
    plan->sceneList =
        request.sceneList.isEmpty() ? QString() : QFileInfo(request.sceneList).absoluteFilePath();
    plan->inputRoot =
        request.importRoot.isEmpty() ? QString() : QFileInfo(request.importRoot).absoluteFilePath();
    plan->perJob = request.perJob;
    plan->scenes = names;
    plan->rounds.clear();
    return plan->addRound(names, error) && plan->save(error);
}

int FarmPlan::jobCount() const
{
    int count = 0;
    for (const PlanRound &round : rounds)
        count += round.jobs.size();
    return count;
}

bool FarmPlan::addRound(const QStringList &roundScenes, QString *error)
{
    PlanRound round;
    int number = jobCount();
    for (int first = 0; first < roundScenes.size(); first += perJob) {
        ++number;
        const QString name = QStringLiteral("job-%1.json").arg(number, 4, 10, QLatin1Char('0'));
        PlanJob job{QStringLiteral("jobs/") + name, QStringLiteral("results/") + name,
                    roundScenes.mid(first, perJob)};
        FarmJob file;
        file.action = action;
        file.configuration = configuration;
        file.sceneList = sceneList;
        file.inputRoot = inputRoot;
        file.scenes = job.scenes;
        file.result = QStringLiteral("../") + job.result; // relative to the job file
        if (!QDir().mkpath(absolute(QStringLiteral("jobs"))) ||
            !QDir().mkpath(absolute(QStringLiteral("results"))) ||
            !QDir().mkpath(absolute(QStringLiteral("logs"))) ||
            !writeWholeFile(absolute(job.file), QJsonDocument(file.toJson()).toJson(), error)) {
            if (error->isEmpty())
                *error = QStringLiteral("cannot create the folders of [%1]").arg(m_folder);
            return false;
        }
        round.jobs << job;
    }
    rounds << round;
    return true;
}

bool FarmPlan::save(QString *error) const
{
    QJsonArray roundArray;
    for (const PlanRound &round : rounds) {
        QJsonArray jobArray;
        for (const PlanJob &job : round.jobs)
            jobArray.append(QJsonObject{{QStringLiteral("file"), job.file},
                                        {QStringLiteral("result"), job.result},
                                        {QStringLiteral("scenes"), texts(job.scenes)}});
        roundArray.append(QJsonObject{{QStringLiteral("jobs"), jobArray},
                                      {QStringLiteral("submitted"), round.submitted}});
    }
    const QJsonObject o{{QStringLiteral("format"), kFormat},
                        {QStringLiteral("version"), 1},
                        {QStringLiteral("action"), FarmJob::actionName(action)},
                        {QStringLiteral("configuration"), configuration},
                        {QStringLiteral("sceneList"), sceneList},
                        {QStringLiteral("inputRoot"), inputRoot},
                        {QStringLiteral("perJob"), perJob},
                        {QStringLiteral("scenes"), texts(scenes)},
                        {QStringLiteral("rounds"), roundArray}};
    return writeWholeFile(absolute(kPlanFile), QJsonDocument(o).toJson(), error);
}

bool FarmPlan::load(const QString &folder, FarmPlan *plan, QString *error)
{
    plan->m_folder = QFileInfo(folder).absoluteFilePath();
    QFile file(plan->absolute(kPlanFile));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no plan in [%1]: %2").arg(plan->m_folder, file.errorString());
        return false;
    }
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    if (o.value(QStringLiteral("format")).toString() != kFormat) {
        *error = QStringLiteral("[%1] is not a plan").arg(file.fileName());
        return false;
    }
    plan->action = o.value(QStringLiteral("action")).toString() == QLatin1String("import")
                       ? FarmJob::Import
                       : FarmJob::Create;
    plan->configuration = o.value(QStringLiteral("configuration")).toString();
    plan->sceneList = o.value(QStringLiteral("sceneList")).toString();
    plan->inputRoot = o.value(QStringLiteral("inputRoot")).toString();
    plan->perJob = qMax(1, o.value(QStringLiteral("perJob")).toInt(1));
    plan->scenes = fromTexts(o.value(QStringLiteral("scenes")));
    plan->rounds.clear();
    for (const QJsonValue &r : o.value(QStringLiteral("rounds")).toArray()) {
        PlanRound round;
        round.submitted = r.toObject().value(QStringLiteral("submitted")).toString();
        for (const QJsonValue &j : r.toObject().value(QStringLiteral("jobs")).toArray()) {
            const QJsonObject job = j.toObject();
            round.jobs << PlanJob{job.value(QStringLiteral("file")).toString(),
                                  job.value(QStringLiteral("result")).toString(),
                                  fromTexts(job.value(QStringLiteral("scenes")))};
        }
        plan->rounds << round;
    }
    if (plan->rounds.isEmpty()) {
        *error = QStringLiteral("[%1] holds no job").arg(file.fileName());
        return false;
    }
    return true;
}
