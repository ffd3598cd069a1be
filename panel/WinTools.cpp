#include "panel/WinTools.h"

#include "board/ConfigurationFiles.h"
#include "board/LogMessageHandler.h"
#include "board/ReportWidget.h"
#include "import/SceneCreation.h"
#include "import/SceneHost.h"
#include "import/SceneImport.h"
#include "panel/ImportProgressDialog.h"
#include "scenelist/gui/CreateSceneWidget.h"
#include "support/LogSink.h"
#include "support/Prompts.h"
#include "support/TextHelpers.h"
#include "widgets/HelpLinks.h"
#include "widgets/TableConfig.h"
#include "widgets/TitleItem.h"
#include "widgets/ToolItem.h"
#include "widgets/WToolBox.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLayoutItem>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QSettings>
#include <QSignalMapper>
#include <QTime>
#include <QtDebug>

namespace {

#if defined(_MSC_VER)
const QString kCompilerTag = QString::number(_MSC_VER);
#elif defined(__clang__)
const QString kCompilerTag = QStringLiteral("clang " __clang_version__);
#elif defined(__GNUC__)
const QString kCompilerTag = QStringLiteral("gcc " __VERSION__);
#else
const QString kCompilerTag = QStringLiteral("unknown");
#endif

} // namespace

WinTools::WinTools(SPBasicSuite *basicSuite, AEGP_PluginID pluginId, AEGP_PanelH panel,
                   AEGP_PlatformViewRef container, AEGP_PanelFunctions1 *functions)
    : WinQtAE(basicSuite, pluginId, panel, container, functions)
{
    signalImportScene = false;
    signalCreateScene = false;

    Ui::Form::setupUi(this);
    setHelpLink(Ui::Form::label, manualPage("import-scene.html"));
    setHelpLink(stLauncherHelp, manualPage("launch.html"));
    setHelpLink(stBoardHelp, manualPage("board.html"));
    buildOptionsToolBox();
    buildBoard();

    connect(m_board, &ReportWidget::SigGlobalLoadSettings, this, &WinTools::OnGlobalLoadSettings);
    connect(m_board, &ReportWidget::SigGlobalSaveSettings, this, &WinTools::OnGlobalSaveSettings);

    installLogMessageHandler();
    writeStartBanner();

    connect(tabWidget, &QTabWidget::currentChanged, this, &WinTools::OnChangeTab);
    connect(pbImpInputDir, &QPushButton::clicked, this, &WinTools::OnPbImpInputDir);
    connect(pbImpRefreshInputDir, &QPushButton::clicked, this, &WinTools::OnImpRefreshInputDir);
    connect(m_board->pbTest, &QPushButton::clicked, this, &WinTools::OnPbTest);
    connect(pb_importScene, &QPushButton::clicked, this, &WinTools::OnImportScene);

    buildCreateSceneTab();
    connect(m_createScene, &CreateSceneWidget::SigPbScriptReload, this, &WinTools::OnScriptReload);
    connect(m_createScene, &CreateSceneWidget::SigCreateScene, this, &WinTools::OnCreateScene);
    connect(pbTestCompName, &QPushButton::clicked, this, &WinTools::OnTestCompName);
    connect(pbTestFileName, &QPushButton::clicked, this, &WinTools::OnTestFileName);

    writeVersionBlock();

    m_launcherMapper = new QSignalMapper(this);
    connect(m_launcherMapper, &QSignalMapper::mappedString, this, &WinTools::OnButtonLauncherPage);
    connect(pbLauncherReload, &QPushButton::clicked, this, &WinTools::OnInitLauncherPage);

    OnGlobalLoadSettings();
    OnScriptReload();
    pb_importScene->setEnabled(true);
}

WinTools::~WinTools()
{
    // A panel destroyed with its container never saw a close: save now, while every widget
    // is still alive.
    if (!m_closed)
        OnGlobalSaveSettings();
    // The message handler stays: once the Board is gone its lines are dropped.
}

void WinTools::buildOptionsToolBox()
{
    m_optionsToolBox = new WToolBox(this);
    auto *page1 = new QWidget;
    Ui::ImportOptions1::setupUi(page1);
    auto *page2 = new QWidget;
    Ui::ImportOptions2::setupUi(page2);
    auto *item1 = new ToolItem(QStringLiteral("Options 1"), page1);
    auto *item2 = new ToolItem(QStringLiteral("Options 2"), page2);
    item1->titleItem()->setHelpLink(manualPage("import-options.html"));
    item2->titleItem()->setHelpLink(manualPage("import-options.html"));
    m_optionsToolBox->addItem(item1);
    m_optionsToolBox->addItem(item2);
    ImportOptionsLayout->addWidget(m_optionsToolBox);
}

void WinTools::buildBoard()
{
    m_board = new ReportWidget(this);
    m_board->SetSettingPrefixFile(QStringLiteral("cellKit4after-"));
    m_board->SetSettingApplicationName(QStringLiteral("cellKit4After"));
    boardLayout->insertWidget(0, m_board);
    m_board->makeProcessLogSink();
}

void WinTools::buildCreateSceneTab()
{
    // Each tab's content sits in a scroll area (the host docks the panel in frames of any
    // size); the option pages go into the Options tab's scrolled content.
    m_createScene = new CreateSceneWidget(this, optionsContents);
    createSceneLayout->addWidget(m_createScene);
    // The Board keeps the interpreter setting; the tab asks for it at each query.
    m_createScene->setPythonInterpreterSource([this]() { return m_board->pythonInterpreter(); });
    // On the panel every cell of the matching table gets the grey-backed style.
    TableConfig *table = m_createScene->matchingTable();
    table->setAlternateColors(false);
    table->applyCellStyles();
}

void WinTools::writeStartBanner()
{
    qWarning() << "--- ReelTool Log is Ready --- from qWarning() ";
    qWarning() << "Start Time:" << QTime::currentTime().toString("hh:mm:ss");
    qWarning() << "Compil Date:" << __DATE__;
    qWarning() << "Compil Time:" << __TIME__;
}

void WinTools::writeVersionBlock()
{
    appendLog(QStringLiteral("vdTest2"));
    appendLog(QString());
    appendLog(QStringLiteral("  === CellKit4After === "));
    appendLog(QStringLiteral("  cellKit4After pipeline tools "));
    appendLog(QStringLiteral("  see docs/manual in the source tree "));
    appendLog(QStringLiteral("  ================== "));
    appendLog(QString());
    appendLog(QString());
    appendLog(QStringLiteral("CellKit4After - Version 1.8.3"));
    appendLog(QStringLiteral("Qt:%1").arg(QStringLiteral(QT_VERSION_STR)));
    appendLog(QStringLiteral("Msvc:%1").arg(kCompilerTag));
    appendLog(QStringLiteral(__DATE__));
    appendLog(QStringLiteral(__TIME__));
    appendLog(QString());
}

// ---- Launcher ------------------------------------------------------------------------------

void WinTools::OnInitLauncherPage()
{
    qWarning() << "OnInitLauncherPage";
    while (QLayoutItem *item = DynamicButtonZone->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QStringList scripts = m_createScene->scripts();
    for (int i = 0; i < scripts.size(); ++i) {
        const QString &path = scripts.at(i);
        auto *button = new QPushButton(launcherLabel(path, i));
        DynamicButtonZone->addWidget(button);
        m_launcherMapper->setMapping(button, path);
        connect(button, &QPushButton::clicked, m_launcherMapper, qOverload<>(&QSignalMapper::map));
    }
}

QString WinTools::launcherLabel(const QString &path, int index)
{
    // Only a dot after the last separator starts the extension: "v1.2/clip" keeps its name. A
    // label without a place marker is left alone (arg() would complain into the log).
    const QString label = removeExtension(fileName(path));
    static const QRegularExpression marker(QStringLiteral("%[1-9]"));
    return label.contains(marker) ? label.arg(index) : label;
}

void WinTools::OnButtonLauncherPage(QString name)
{
    if (!QFileInfo::exists(name)) {
        Prompts::current().warning(nullptr, QStringLiteral("Warning"),
                                   QStringLiteral("Script [%1] Non trouvé").arg(name));
        return;
    }
    // A host that refuses the script suite fails the run inside the runner, which records the
    // error and returns: the press ends without effect.
    SceneHost::RunScriptFile(name, QString());
}

void WinTools::OnScriptReload()
{
    OnInitLauncherPage();
}

// ---- Pending tasks -------------------------------------------------------------------------

void WinTools::OnCreateScene()
{
    signalCreateScene = true;
}

void WinTools::OnImportScene()
{
    signalImportScene = true;
}

void WinTools::RunIdleTasks()
{
    if (signalImportScene) {
        qWarning() << "-START- IdleHook signalImportScene";
        signalImportScene = false;
        ++m_importRuns;
        ImportScene();
        qWarning() << "-END- IdleHook signalImportScene=" << signalImportScene;
    }
    if (signalCreateScene) {
        qWarning() << "IdleHook signalCreateScene";
        signalCreateScene = false;
        ++m_createRuns;
        CreateScene();
    }
}

void WinTools::ImportScene()
{
    // The progress dialog lets events through between scenes; an idle call arriving then
    // must not start a second run inside this one, so the request waits for the next idle.
    if (m_runActive) {
        signalImportScene = true;
        return;
    }
    const QScopedValueRollback<bool> running(m_runActive, true);
    const ImportOptions options = importOptionsSnapshot();
    ImportProgressDialog progress(this);
    SceneImport run(options, *m_createScene);
    run.setProgress(&progress);
    run.setSettingsSaver([this]() { OnGlobalSaveSettings(); });
    run.ImportScene(pbImpInputDir->text(), selectedImportScenes());
}

ImportOptions WinTools::importOptionsSnapshot() const
{
    ImportOptions o;
    o.newProject = ckImpNewProject->isChecked();
    o.useXml = ckImpUseXml->isChecked();
    o.oneImaIsFixeIma = ckImpOneImaIsFixeIma->isChecked();
    o.createZeroIma = ckImpCreateZeroIma->isChecked();
    o.reverseExpoOrder = ckImpReverseExpoOrder->isChecked();
    o.precomp = cbImpPrecomp->currentIndex();
    o.fileExtensions = efImpFileExtensions->text();
    o.folder = efImpFolder->text();
    o.useShellComp = ckImpUseShellComp->isChecked();
    o.shellCompName = efImpShellCompName->text();
    o.compName = efImpCompName->text();
    o.outputFileName = efImpOutputFileName->text();
    o.compWidth = sbImpCompWidth->value();
    o.compHeight = sbImpCompHeight->value();
    o.compFrameRate = sbImpCompFrameRate->value();
    o.forceCompSize = ckImpForceCompSize->isChecked();
    o.compSizeFromImaSize = ckImpCompSizeFromImaSize->isChecked();
    o.compSizeFromImaExt = efImpCompSizeFromImaExt->text();
    return o;
}

QStringList WinTools::selectedImportScenes() const
{
    QStringList scenes;
    for (int row = 0; row < lwImpInputDir->count(); ++row) {
        const QListWidgetItem *item = lwImpInputDir->item(row);
        if (item->isSelected())
            scenes << item->text();
    }
    return scenes;
}

void WinTools::CreateScene()
{
    if (m_runActive) {
        signalCreateScene = true;
        return;
    }
    const QScopedValueRollback<bool> running(m_runActive, true);
    const ImportOptions options = importOptionsSnapshot();
    ImportProgressDialog progress(this);
    SceneImport preparation(options, *m_createScene);
    preparation.setSettingsSaver([this]() { OnGlobalSaveSettings(); });
    SceneCreation run(options, *m_createScene, preparation);
    run.setProgress(&progress);
    run.CreateScene();
}

// ---- Import Scene page -----------------------------------------------------------------------

void WinTools::OnPbImpInputDir()
{
    const QString chosen = Prompts::current().chooseDirectory(
        nullptr, QStringLiteral("Select Directory containing Files to Import"),
        pbImpInputDir->text());
    if (!chosen.isEmpty()) {
        const QString dir = QDir::fromNativeSeparators(chosen);
        pbImpInputDir->setText(dir);
        pbImpInputDir->setToolTip(QStringLiteral("Path: ") + dir);
    }
    OnImpRefreshInputDir();
}

void WinTools::OnImpRefreshInputDir()
{
    lwImpInputDir->clear();
    const QDir dir(pbImpInputDir->text());
    if (!pbImpInputDir->text().isEmpty() && dir.exists())
        lwImpInputDir->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    lwImpInputDir->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void WinTools::OnChangeTab(int onglet)
{
    Q_UNUSED(onglet)
}

void WinTools::OnPbTest()
{
    OnInitLauncherPage();
    appendLog(QStringLiteral("appended"));
    qWarning() << "Test";
    qWarning() << "Test2";
    appendLog(QStringLiteral("=== Test ==="));
}

// ---- Name tests ------------------------------------------------------------------------------

QString WinTools::resolveScenePattern(const QString &pattern, const QString &sceneDir) const
{
    return m_createScene->expandProductionPlaceholders(pattern, sceneDir);
}

void WinTools::showResolvedName(const QString &pattern)
{
    if (lwImpInputDir->selectedItems().size() != 1) {
        Prompts::current().warning(nullptr, QStringLiteral("Warning"),
                                   QStringLiteral("Select one (and only one) Scene directory"));
        return;
    }
    const QListWidgetItem *current = lwImpInputDir->currentItem();
    const QString sceneDir =
        current ? current->text() : lwImpInputDir->selectedItems().constFirst()->text();
    Prompts::current().information(nullptr, QStringLiteral("Result:"),
                                   resolveScenePattern(pattern, sceneDir));
}

void WinTools::OnTestCompName()
{
    showResolvedName(efImpCompName->text());
}

void WinTools::OnTestFileName()
{
    showResolvedName(efImpOutputFileName->text());
}

// ---- Settings --------------------------------------------------------------------------------

QString WinTools::configurationName(const QString &path)
{
    return path.isEmpty() ? m_board->GetCurrentSettingFileName() : path;
}

void WinTools::OnGlobalLoadSettings(QString path)
{
    const std::unique_ptr<QSettings> opened = ConfigurationFiles::open(configurationName(path));
    QSettings &settings = *opened;
    qWarning() << "LOAD QSetting FileName :" << settings.fileName();
    m_createScene->loadSettings(settings);
    m_board->LoadSettings(settings);

    const QString inputDir =
        settings.value("ImpInputDir", QStringLiteral("Select Input Directory")).toString();
    pbImpInputDir->setText(inputDir);
    ckImpNewProject->setChecked(settings.value("ckImpNewProject", true).toBool());
    ckImpUseXml->setChecked(settings.value("ckImpUseXml", false).toBool());
    ckImpOneImaIsFixeIma->setChecked(settings.value("ckImpOneImaIsFixeIma", false).toBool());
    ckImpCreateZeroIma->setChecked(settings.value("ckImpCreateZeroIma", false).toBool());
    ckImpReverseExpoOrder->setChecked(settings.value("ckImpReverseExpoOrder", false).toBool());
    cbImpPrecomp->setCurrentIndex(settings.value("cbImpPrecomp", 0).toInt());
    efImpFileExtensions->setText(
        settings.value("efImpFileExtensions", QStringLiteral("*.png,*.mov")).toString());
    efImpFolder->setText(settings.value("efImpFolder", QString()).toString());
    ckImpUseShellComp->setChecked(settings.value("ckImpUseShellComp", false).toBool());
    efImpShellCompName->setText(settings.value("efImpShellCompName", QString()).toString());
    efImpCompName->setText(settings.value("efImpCompName", QString()).toString());
    efImpOutputFileName->setText(settings.value("efImpOutputFileName", QString()).toString());
    sbImpCompWidth->setValue(settings.value("sbImpCompWidth", 1280).toInt());
    sbImpCompHeight->setValue(settings.value("sbImpCompHeight", 720).toInt());
    sbImpCompFrameRate->setValue(settings.value("sbImpCompFrameRate", 25).toInt());
    ckImpForceCompSize->setChecked(settings.value("ckImpForceCompSize", false).toBool());
    ckImpCompSizeFromImaSize->setChecked(
        settings.value("ckImpCompSizeFromImaSize", false).toBool());
    efImpCompSizeFromImaExt->setText(
        settings.value("efImpCompSizeFromImaExt", QStringLiteral("png")).toString());
}

void WinTools::OnGlobalSaveSettings(QString path)
{
    const std::unique_ptr<QSettings> opened = ConfigurationFiles::open(configurationName(path));
    QSettings &settings = *opened;
    qWarning() << "SAVE QSetting FileName :" << settings.fileName();
    m_createScene->saveSettings(settings);
    m_board->SaveSettings(settings);

    settings.setValue("ImpInputDir", pbImpInputDir->text());
    settings.setValue("ckImpNewProject", ckImpNewProject->isChecked());
    settings.setValue("ckImpUseXml", ckImpUseXml->isChecked());
    settings.setValue("ckImpOneImaIsFixeIma", ckImpOneImaIsFixeIma->isChecked());
    settings.setValue("ckImpCreateZeroIma", ckImpCreateZeroIma->isChecked());
    settings.setValue("ckImpReverseExpoOrder", ckImpReverseExpoOrder->isChecked());
    settings.setValue("cbImpPrecomp", cbImpPrecomp->currentIndex());
    settings.setValue("efImpFileExtensions", efImpFileExtensions->text());
    settings.setValue("efImpFolder", efImpFolder->text());
    settings.setValue("ckImpUseShellComp", ckImpUseShellComp->isChecked());
    settings.setValue("efImpShellCompName", efImpShellCompName->text());
    settings.setValue("efImpCompName", efImpCompName->text());
    settings.setValue("efImpOutputFileName", efImpOutputFileName->text());
    settings.setValue("sbImpCompWidth", sbImpCompWidth->value());
    settings.setValue("sbImpCompHeight", sbImpCompHeight->value());
    settings.setValue("sbImpCompFrameRate", sbImpCompFrameRate->value());
    settings.setValue("ckImpForceCompSize", ckImpForceCompSize->isChecked());
    settings.setValue("ckImpCompSizeFromImaSize", ckImpCompSizeFromImaSize->isChecked());
    settings.setValue("efImpCompSizeFromImaExt", efImpCompSizeFromImaExt->text());
    // Written as a whole or not at all; a failure is reported in the log.
    ConfigurationFiles::commit(settings);
}

// ---- Events ----------------------------------------------------------------------------------

void WinTools::changeEvent(QEvent *event)
{
    qWarning() << "Change Event:" << int(event->type());
    if (LogSink::current())
        appendLog(QStringLiteral("Change Event:"));
    event->accept();
}

void WinTools::closeEvent(QCloseEvent *event)
{
    OnGlobalSaveSettings();
    m_closed = true;
    event->accept();
}
