#pragma once

#include "import/CreateSceneSource.h"
#include "scenelist/CreateSceneCore.h"

#include "ui_CreateSceneWidget.h"
#include "ui_LibraryFiles.h"
#include "ui_OptionsHarmony.h"
#include "ui_OptionsProduction.h"
#include "ui_OptionsSceneList.h"
#include "ui_OptionsShotgun.h"
#include "ui_OptionsTable.h"
#include "ui_OptionsTemplate.h"
#include "ui_ScriptsFiles.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <functional>

class QCheckBox;
class QProgressDialog;
class QSettings;
class TableConfig;
class WPathSelector;
class WToolBox;

// The "Create Scene" tab: a scene source (a scene list file or a folder), a target, an output
// folder and the scene tree, with its options in a tool box of eight pages (matching table,
// production, scene list, template, library, scripts, Harmony, external query) that the main
// panel shows on its Options tab. It is also what the scene runs read from the Create Scene
// side (CreateSceneSource): switches, template, scripts, production values and the selected
// scenes of the tree.
//
// Example: with episode 5 and the template ".../EP%02e/t.aep", templatePath() is
// ".../EP05/t.aep"; a selected scene "SC010" whose element row reads Tid 3, Fok 1 and
// "/lib/SC010.mov" is handed to the run as {"SC010", {{"/lib/SC010.mov", "", 3, true}}}.
//
// The work itself is done by CreateSceneCore: before each load, search, test or export the tab
// takes a snapshot of its widgets (SceneListOptions), calls the core and shows the resulting
// scene tree in treeWidget (elements enabled but not selectable, what is missing in red).
//
// Its settings live in the configuration group "CreateScene".
class CreateSceneWidget : public QWidget,
                          public CreateSceneSource,
                          public Ui::CreateSceneWidget,
                          public Ui::LibraryFiles,
                          public Ui::ScriptsFiles,
                          public Ui::OptionsProduction,
                          public Ui::OptionsHarmony,
                          public Ui::OptionsShotgun,
                          public Ui::OptionsTemplate,
                          public Ui::OptionsSceneList,
                          public Ui::OptionsTable
{
    Q_OBJECT
public:
    // The option pages go on `optionsPage` (its layout) when given, else below the tab itself.
    explicit CreateSceneWidget(QWidget *parent = nullptr, QWidget *optionsPage = nullptr);
    ~CreateSceneWidget() override;

    TableConfig *matchingTable() const { return m_table; }
    WToolBox *toolBox() const;
    QCheckBox *useTemplateCheckBox() const { return ckUseTemplateFile; }
    QCheckBox *useLibraryCheckBox() const { return ckUseFilesInLibrary; }

    bool IsFromSPI() const;
    bool IsFromDIR() const;

    // The production placeholders of the options (%e %n %x %y %z %j), then %a with `value`.
    QString expandProductionPlaceholders(const QString &templ, const QString &value) const;

    void loadSettings(QSettings &settings);
    void saveSettings(QSettings &settings);

    // What the scene runs read (CreateSceneSource).
    bool useLibraryFiles() const override;
    bool moveFilesToRelativePath() const override;
    bool collectFiles() const override;
    bool useTemplate() const override;
    QString templatePath() const override;
    QStringList scripts() const override;
    void refreshLibraryBeforeNextLookUp() override;
    int libraryDepth() const override;
    ProductionValues productionValues() const override;
    QVector<TableFile> GetFileToImportFromTable(const QString &sceneName, int mode) override;
    QVector<SceneToCreate> selectedScenes() const override;
    QString destinationDir() const override;
    QString inputDirectory() const override;
    QString inputExtension() const override;

    // Scans the library folders into the file index (`progress` may be null).
    void collectLibraryFiles(int depth, QProgressDialog *progress);

    // Where the external asset query finds its Python interpreter (the Board's setting); without
    // one, the first python3 or python on the PATH.
    void setPythonInterpreterSource(std::function<QString()> source);
    // The widgets' values as the core reads them.
    SceneListOptions optionsSnapshot() const;

Q_SIGNALS:
    void SigPbScriptReload();
    void SigCreateScene();

public Q_SLOTS:
    void OnOpenDestinationDirectory();
    void OnSelectSceneList(WPathSelector *selector);
    void OnLoadSceneList();
    void OnAddLibDir();
    void OnRemoveLibDir();
    void OnUpLibDir();
    void OnDownLibDir();
    void OnCheckLibDirs();
    void OnShowDirectoryListInLog();
    void OnOpenLibDir();
    void OnAddScriptFile();
    void OnAddScriptName();
    void OnRemoveScript();
    void OnReloadScript();
    void OnChangeSceneListType(int type);
    void OnTestAsset();
    void OnShotLedgerExport();
    void OnCreateLog();
    void OnLayout3DsMax();
    void OnSelectAll();
    void OnUnselectAll();
    void OnExpandAll();
    void OnCollapseAll();
    void OnPbCodeConversionFile();
    void OnSelectFlashTemplate();

private:
    void buildToolBox(QWidget *optionsPage);
    void setUpPathSelectors();
    void setUpTree();
    void connectSignals();
    void showSceneListType(int type);
    // The folders a library entry stands for: its wildcard matches, or the entry itself.
    QStringList libraryFolders(const QString &entry) const;
    // One saved value: the key, the widget that shows it and the value of a fresh configuration.
    struct SettingKey
    {
        QString key;
        QWidget *widget;
        QVariant defaultValue;
    };
    QVector<SettingKey> settingKeys() const;
    QString inactiveRowsText() const;
    void setInactiveRows(const QString &text);
    // The snapshot, with the asset query pointed at the interpreter and configuration folder.
    SceneListOptions prepareCore();
    void showSceneTree();
    // The tree as the widget shows it now, with its selection, for the exports.
    SceneTree sceneTreeFromWidget() const;
    void appendLibraryFolders(const QStringList &folders);

    CreateSceneCore m_core;
    std::function<QString()> m_interpreterSource;

    TableConfig *m_table = nullptr;
    QPointer<WToolBox> m_toolBox; // on the options page when one was given
    QCheckBox *ckUseTemplateFile = nullptr;
    QCheckBox *ckUseFilesInLibrary = nullptr;
};
