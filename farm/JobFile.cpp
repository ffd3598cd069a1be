#include "farm/JobFile.h"

#include "support/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString kJobFormat = QStringLiteral("cellkit-job");
const QString kResultFormat = QStringLiteral("cellkit-job-result");
constexpr int kVersion = 1;

QJsonArray toArray(const QStringList &texts)
{
    return QJsonArray::fromStringList(texts);
}

QStringList toTexts(const QJsonValue &value)
{
    QStringList texts;
    for (const QJsonValue &v : value.toArray())
        texts << v.toString();
    return texts;
}

QString resolved(const QString &path, const QString &folder)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return QDir::cleanPath(QDir(folder).filePath(path));
}

bool parseObject(const QByteArray &text, const QString &format, QJsonObject *object, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (!doc.isObject()) {
        *error = parseError.error != QJsonParseError::NoError
                     ? QStringLiteral("not JSON: %1 at byte %2")
                           .arg(parseError.errorString())
                           .arg(parseError.offset)
                     : QStringLiteral("not a JSON object");
        return false;
    }
    *object = doc.object();
    if (object->value(QStringLiteral("format")).toString() != format) {
        *error = QStringLiteral("not a %1 file (its \"format\" is not \"%1\")").arg(format);
        return false;
    }
    if (object->value(QStringLiteral("version")).toInt() != kVersion) {
        *error = QStringLiteral("version %1 of the %2 format is not known here")
                     .arg(object->value(QStringLiteral("version")).toVariant().toString(), format);
        return false;
    }
    return true;
}

} // namespace

QString FarmJob::actionName(Action action)
{
    return action == Import ? QStringLiteral("import") : QStringLiteral("create");
}

QJsonObject FarmJob::toJson() const
{
    QJsonObject o{{QStringLiteral("format"), kJobFormat},
                  {QStringLiteral("version"), kVersion},
                  {QStringLiteral("action"), actionName(action)},
                  {QStringLiteral("configuration"), configuration},
                  {QStringLiteral("scenes"), toArray(scenes)},
                  {QStringLiteral("result"), result}};
    if (action == Create && !sceneList.isEmpty())
        o.insert(QStringLiteral("sceneList"), sceneList);
    if (action == Import)
        o.insert(QStringLiteral("inputRoot"), inputRoot);
    return o;
}

bool FarmJob::fromJson(const QByteArray &text, const QString &folder, FarmJob *job, QString *error)
{
    QJsonObject o;
    if (!parseObject(text, kJobFormat, &o, error))
        return false;
    const QString action = o.value(QStringLiteral("action")).toString();
    if (action != actionName(Create) && action != actionName(Import)) {
        *error = QStringLiteral("unknown action \"%1\" (create or import)").arg(action);
        return false;
    }
    job->action = action == actionName(Import) ? Import : Create;
    job->configuration = resolved(o.value(QStringLiteral("configuration")).toString(), folder);
    job->sceneList = resolved(o.value(QStringLiteral("sceneList")).toString(), folder);
    job->inputRoot = resolved(o.value(QStringLiteral("inputRoot")).toString(), folder);
    job->scenes = toTexts(o.value(QStringLiteral("scenes")));
    job->result = resolved(o.value(QStringLiteral("result")).toString(), folder);
    if (job->configuration.isEmpty() || job->result.isEmpty() ||
        (job->action == Import && job->inputRoot.isEmpty())) {
        *error = job->action == Import
                     ? QStringLiteral("\"configuration\", \"inputRoot\" and \"result\" are needed")
                     : QStringLiteral("\"configuration\" and \"result\" are needed");
        return false;
    }
    return true;
}

QString FarmJob::fallbackResultPath(const QString &jobFile)
{
    const QFileInfo info(jobFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".result.json"));
}

QString SceneResult::statusName(Status status)
{
    switch (status) {
    case Done:
        return QStringLiteral("done");
    case Skipped:
        return QStringLiteral("skipped");
    case Failed:
        break;
    }
    return QStringLiteral("failed");
}

QJsonObject JobResult::toJson() const
{
    QJsonArray sceneArray;
    for (const SceneResult &s : scenes)
        sceneArray.append(QJsonObject{{QStringLiteral("name"), s.name},
                                      {QStringLiteral("status"), SceneResult::statusName(s.status)},
                                      {QStringLiteral("project"), s.project},
                                      {QStringLiteral("missing"), toArray(s.missing)},
                                      {QStringLiteral("messages"), toArray(s.messages)}});
    return QJsonObject{{QStringLiteral("format"), kResultFormat},
                       {QStringLiteral("version"), kVersion},
                       {QStringLiteral("job"), job},
                       {QStringLiteral("started"), started},
                       {QStringLiteral("error"), error},
                       {QStringLiteral("node"), node},
                       {QStringLiteral("begin"), begin},
                       {QStringLiteral("end"), end},
                       {QStringLiteral("messages"), toArray(messages)},
                       {QStringLiteral("scenes"), sceneArray}};
}

bool JobResult::fromJson(const QByteArray &text, JobResult *result, QString *error)
{
    QJsonObject o;
    if (!parseObject(text, kResultFormat, &o, error))
        return false;
    result->job = o.value(QStringLiteral("job")).toString();
    result->started = o.value(QStringLiteral("started")).toBool();
    result->error = o.value(QStringLiteral("error")).toString();
    result->node = o.value(QStringLiteral("node")).toString();
    result->begin = o.value(QStringLiteral("begin")).toString();
    result->end = o.value(QStringLiteral("end")).toString();
    result->messages = toTexts(o.value(QStringLiteral("messages")));
    result->scenes.clear();
    for (const QJsonValue &v : o.value(QStringLiteral("scenes")).toArray()) {
        const QJsonObject s = v.toObject();
        SceneResult scene;
        scene.name = s.value(QStringLiteral("name")).toString();
        const QString status = s.value(QStringLiteral("status")).toString();
        scene.status = status == QLatin1String("done")      ? SceneResult::Done
                       : status == QLatin1String("skipped") ? SceneResult::Skipped
                                                            : SceneResult::Failed;
        scene.project = s.value(QStringLiteral("project")).toString();
        scene.missing = toTexts(s.value(QStringLiteral("missing")));
        scene.messages = toTexts(s.value(QStringLiteral("messages")));
        result->scenes << scene;
    }
    return true;
}

bool JobResult::write(const QString &path, QString *error) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeWholeFile(path, QJsonDocument(toJson()).toJson(QJsonDocument::Indented), error);
}
