#pragma once
// What a scene run shows while it goes: which scene of how many is being built, and whether
// the user asked to stop. The run asks between scenes only, so a scene is never left half
// built. The panel implements it with a progress dialog; tests and headless runs may pass none.
#include <QString>

class ImportProgress
{
public:
    virtual ~ImportProgress() = default;
    virtual void start(int sceneCount) = 0;
    // index is 1-based: "scene 2 of 5, SC020".
    virtual void sceneStarted(int index, int sceneCount, const QString &sceneName) = 0;
    // Also gives the user interface a chance to take the click on its stop button.
    virtual bool stopRequested() = 0;
    virtual void finish() = 0;
};
