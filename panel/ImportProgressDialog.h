#pragma once
// The progress of an import run in a progress dialog: "Scene 2 of 5" and the scene's name,
// with a Stop button that ends the run before the next scene. The dialog is shown without a
// loop of its own (the run goes on at once) and modal to the panel's window, so the panel
// cannot be changed or closed under the run; it takes clicks while the run asks whether to stop.
#include "import/ImportProgress.h"

#include <QPointer>

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

private:
    QWidget *m_parent;
    QPointer<QProgressDialog> m_dialog; // a child of m_parent while the run goes
};
