#pragma once

#include "host/aegp.h"
#include "host/embed/WinQtAE.h"
#include "import/ImportOptions.h"

#include "ui_Form.h"
#include "ui_ImportOptions1.h"
#include "ui_ImportOptions2.h"

#include <QString>

class CreateSceneWidget;
class QSettings;
class QSignalMapper;
class ReportWidget;
class WToolBox;

// The panel the host shows in its workspace: the tabs Launch, Create Scene, Import Scene,
// Options and Board.
//
// Import and create runs never start from a button: the button raises a pending flag and the
// host's idle hook (RunIdleTasks) runs the task, so the host is never re-entered from inside a
// Qt click handler. Pressing Import twice before the next idle call queues a single run.
class WinTools : public WinQtAE,
                 public Ui::Form,
                 public Ui::ImportOptions1,
                 public Ui::ImportOptions2
{
    Q_OBJECT
public:
    WinTools(SPBasicSuite *basicSuite, AEGP_PluginID pluginId, AEGP_PanelH panel,
             AEGP_PlatformViewRef container, AEGP_PanelFunctions1 *functions);
    ~WinTools() override;

    // Runs the pending import and create tasks; called from the host's idle hook.
    void RunIdleTasks();

    ReportWidget *board() const { return m_board; }
    CreateSceneWidget *createSceneTab() const { return m_createScene; }
    // A launcher button's label: the script's file name without its last extension, with %1
    // standing for the button's index ("clip.final.jsx" -> "clip.final").
    static QString launcherLabel(const QString &path, int index);
    bool importPending() const { return signalImportScene; }
    bool createPending() const { return signalCreateScene; }
    // How many import and create runs the idle hook has started (for diagnostics and tests).
    int importRuns() const { return m_importRuns; }
    int createRuns() const { return m_createRuns; }

public Q_SLOTS:
    void OnInitLauncherPage();
    void OnButtonLauncherPage(QString name);
    void OnScriptReload();
    void OnCreateScene();
    void OnImportScene();
    void OnPbImpInputDir();
    void OnImpRefreshInputDir();
    void OnChangeTab(int onglet);
    void OnPbTest();
    void OnTestCompName();
    void OnTestFileName();
    void OnGlobalLoadSettings(QString path = QString());
    void OnGlobalSaveSettings(QString path = QString());

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    // The runs themselves; the import engine and the scene creation plug in here.
    virtual void ImportScene();
    virtual void CreateScene();

private:
    void buildOptionsToolBox();
    void buildBoard();
    void writeStartBanner();
    void writeVersionBlock();
    void buildCreateSceneTab();
    // Resolves a name pattern for one scene directory: %a is the directory's name.
    QString resolveScenePattern(const QString &pattern, const QString &sceneDir) const;
    void showResolvedName(const QString &pattern);
    QString configurationName(const QString &path);
    // The import options as the widgets show them now; a run reads only this copy.
    ImportOptions importOptionsSnapshot() const;
    // The selected scene directories of lwImpInputDir, in list order.
    QStringList selectedImportScenes() const;

    bool signalImportScene = false;
    bool signalCreateScene = false;
    ReportWidget *m_board = nullptr;
    CreateSceneWidget *m_createScene = nullptr;
    WToolBox *m_optionsToolBox = nullptr;
    QSignalMapper *m_launcherMapper = nullptr;
    int m_importRuns = 0;
    int m_createRuns = 0;
    bool m_closed = false;
    bool m_runActive = false; // an import or create run is on the stack (its dialog takes events)
};
