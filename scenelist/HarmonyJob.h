#pragma once
// The scenes of a Toon Boom Harmony job on disk. Offline, the job folder is
// "//<server>/usa_db/jobs/<job>" (unless a scene path is given) and holds one folder
// "scene-<name>" per scene with a "stage" file inside; online, the scene path itself holds one
// folder per scene and the stage file is looked for as "<name>.stage", "<name>.xstage",
// "<name>.v9.stage", "<name>.v9.xstage", ... down to v1.
//
// Example (offline, scene path "/jobs/EP01"): folders scene-001 and scene-002 give the scene
// list {"001", "002"}; harmonySceneCheck("001") is 2 when /jobs/EP01/scene-001/stage exists,
// 1 when only the folder does, 0 when neither.
#include "scenelist/SceneListOptions.h"

#include <QStringList>

class HarmonyJob
{
public:
    HarmonyJob(const HarmonyOptions &harmony, const ProductionValues &production);

    QString jobPath() const;
    QString scenePath() const;
    // The job's scene names, sorted; empty when the job path is empty or still a "Select" hint.
    QStringList GetHarmonySceneList() const;
    // 0: no scene folder and no stage, 1: one of them, 2: both.
    int harmonySceneCheck(const QString &sceneName) const;

private:
    HarmonyOptions m_harmony;
    ProductionValues m_production;
};
