#pragma once
// The progress of an import run in a progress dialog: "Scene 2 of 5" and the scene's name,
// with a Stop button that ends the run before the next scene. The dialog is shown without a
// loop of its own (the run goes on at once) and modal to the panel's window, so the panel
// cannot be changed or closed under the run.
//
// Between two scenes the run lets the dialog repaint and take the click on Stop; every other
// click, key or wheel turn meant for the host or the panel is dropped, so nothing the user does
// elsewhere acts in the middle of a run. The log lines of the run reach the console in one go
// at the same time (a scene logs a line per file).
//
// Repainting costs more than a small scene takes to build, so the dialog is brought up to date
// at most once per poll interval (40 ms): a batch of 300 scenes of a few milliseconds each
// repaints a few dozen times, not 600. The dialog then shows the scene of the last poll (one
// scene behind at most, after a scene shorter than the interval).
#include "import/ImportProgress.h"
#include "support/LogSink.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

class ImportProgressDialog : public ImportProgress
{
public:
    explicit ImportProgressDialog(QWidget *parent);
    ~ImportProgressDialog() override;

    ImportProgressDialog(const ImportProgressDialog &) = delete;
    ImportProgressDialog &operator=(const ImportProgressDialog &) = delete;

    void start(int sceneCount) override;
    void sceneStarted(int index, int sceneCount, const QString &sceneName) override;
    bool stopRequested() override;
    void finish() override;

    // The shortest time between two updates of the dialog; 0 updates it at every call.
    void setPollInterval(int milliseconds) { m_pollIntervalMs = milliseconds; }

private:
    // True, and the clock restarted, when the last update is at least the interval ago.
    bool pollDue();
    // Shows the last scene started, then lets the dialog repaint and take a click on Stop.
    void update();

    QWidget *m_parent;
    QPointer<QProgressDialog> m_dialog; // a child of m_parent while the run goes
    std::unique_ptr<LogSink::Batch> m_logBatch;
    int m_pollIntervalMs = 40;
    QElapsedTimer m_sinceUpdate;
    QString m_label; // of the last scene started
    int m_value = 0;
};
