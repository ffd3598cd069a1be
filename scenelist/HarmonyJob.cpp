#include "scenelist/HarmonyJob.h"

#include "support/LogSink.h"

#include <QDir>
#include <QFileInfo>

HarmonyJob::HarmonyJob(const HarmonyOptions &harmony, const ProductionValues &production)
    : m_harmony(harmony), m_production(production)
{}

QString HarmonyJob::scenePath() const
{
    return m_production.expand(m_harmony.scenePath.simplified(), QString());
}

QString HarmonyJob::jobPath() const
{
    const QString path = scenePath();
    if (!m_harmony.onlineMode && path.isEmpty()) {
        const QString job = m_production.expand(m_production.job, QString());
        return QStringLiteral("//%1/usa_db/jobs/%2").arg(m_harmony.server.simplified(), job);
    }
    return path;
}

QStringList HarmonyJob::GetHarmonySceneList() const
{
    const QString path = jobPath();
    const QString simplified = path.simplified();
    if (simplified.isEmpty() || simplified.startsWith(QLatin1String("Select")))
        return {};
    if (!QFileInfo::exists(path))
        appendLog(QStringLiteral("-ERR- GetHarmonySceneList :Directory Not Found:") + path);
    const QString pattern = m_harmony.onlineMode ? QStringLiteral("*") : QStringLiteral("scene-*");
    QStringList names =
        QDir(path).entryList({pattern}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    if (!m_harmony.onlineMode) {
        for (QString &name : names)
            name.remove(0, 6); // "scene-"
    }
    return names;
}

int HarmonyJob::harmonySceneCheck(const QString &sceneName) const
{
    QString sceneFolder;
    QString stage;
    if (!m_harmony.onlineMode) {
        sceneFolder = QStringLiteral("%1/scene-%2").arg(jobPath(), sceneName);
        stage = sceneFolder + QStringLiteral("/stage");
    } else {
        sceneFolder = QStringLiteral("%1/%2").arg(jobPath(), sceneName);
        QStringList candidates{QStringLiteral("%1.stage").arg(sceneName),
                               QStringLiteral("%1.xstage").arg(sceneName)};
        for (int v = 9; v >= 1; --v) {
            candidates << QStringLiteral("%1.v%2.stage").arg(sceneName, QString::number(v))
                       << QStringLiteral("%1.v%2.xstage").arg(sceneName, QString::number(v));
        }
        stage = sceneName;
        for (const QString &file : qAsConst(candidates)) {
            const QString path = QStringLiteral("%1/%2/%3").arg(scenePath(), sceneName, file);
            if (QFileInfo::exists(path)) {
                stage = path;
                break;
            }
        }
    }
    return (QFileInfo::exists(sceneFolder) ? 1 : 0) + (QFileInfo::exists(stage) ? 1 : 0);
}
