#include "scenelist/gui/CreateSceneWidget.h"

#include "board/ConfigurationFiles.h"
#include "scenelist/CreateSceneConfiguration.h"
#include "scenelist/LoadProgress.h"
#include "scenelist/gui/MatchingTableSetup.h"
#include "support/LogSink.h"
#include "support/Prompts.h"
#include "support/TextHelpers.h"
#include "support/gui/ListHelpers.h"
#include "widgets/HelpLinks.h"
#include "widgets/TableConfig.h"
#include "widgets/TitleItem.h"
#include "widgets/ToolItem.h"
#include "widgets/WPathSelector.h"
#include "widgets/WToolBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>
#include <QSet>
#include <QSettings>
#include <QTableWidget>
#include <QUrl>

#include <memory>

namespace {

const QString kSettingsGroup = QStringLiteral("CreateScene");
const QString kManualPage = QStringLiteral("create-scene.html");

const QString kTableKey = QStringLiteral("TableOptions");
const QString kInactiveRowsKey = QStringLiteral("TableOptionsInactive");

// A list as stored: one comma-separated text. A file edited by hand may hold it unquoted, which
// the settings library reads back as a list of texts.
QString listText(const QVariant &value)
{
    return value.type() == QVariant::StringList ? value.toStringList().join(QLatin1Char(','))
                                                : value.toString();
}

void loadValue(QWidget *widget, const QVariant &value, const QVariant &defaultValue)
{
    if (auto *path = qobject_cast<WPathSelector *>(widget)) {
        path->setPath(value.toString());
    } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
        textToList(list, listText(value));
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        check->setChecked(value.toBool());
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const int index = value.toInt();
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : defaultValue.toInt());
    } else if (auto *real = qobject_cast<QDoubleSpinBox *>(widget)) {
        real->setValue(value.toDouble());
    } else if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        spin->setValue(value.toInt());
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setText(value.toString());
    }
}

QVariant savedValue(const QWidget *widget)
{
    if (auto *path = qobject_cast<const WPathSelector *>(widget))
        return path->rawText();
    if (auto *list = qobject_cast<const QListWidget *>(widget))
        return listToText(list);
    if (auto *check = qobject_cast<const QCheckBox *>(widget))
        return check->isChecked();
    if (auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentIndex();
    if (auto *real = qobject_cast<const QDoubleSpinBox *>(widget))
        return real->value();
    if (auto *spin = qobject_cast<const QSpinBox *>(widget))
        return spin->value();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    return QVariant();
}

QStringList simplifiedEntries(const QListWidget *list)
{
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) {
        const QString text = list->item(row)->text().simplified();
        if (!text.isEmpty())
            entries << text;
    }
    return entries;
}

// The core's progress reports on the tab's modal dialog. Events are processed so that the
// Cancel button (and a headless run's dialog watcher) get their turn, but at most every few
// hundredths of a second: a modal dialog also handles events at each new value, and a list of
// tens of thousands of rows would spend most of its load there.
class DialogProgress : public LoadProgress
{
public:
    explicit DialogProgress(QProgressDialog *dialog) : m_dialog(dialog) { m_sinceEvents.start(); }
    void setLabelText(const QString &text) override { m_dialog->setLabelText(text); }
    void setRange(int minimum, int maximum) override { m_dialog->setRange(minimum, maximum); }
    void setValue(int value) override
    {
        if (value >= m_dialog->maximum() || value <= m_dialog->minimum() || isDue())
            m_dialog->setValue(value);
    }
    bool wasCanceled() const override { return m_dialog->wasCanceled(); }
    void processEvents() override
    {
        if (isDue())
            QCoreApplication::processEvents();
    }

private:
    bool isDue()
    {
        if (m_sinceEvents.elapsed() < kEventIntervalMs)
            return false;
        m_sinceEvents.restart();
        return true;
    }

    static constexpr int kEventIntervalMs = 40;
    QProgressDialog *m_dialog; // not owned
    QElapsedTimer m_sinceEvents;
};

const int kPosingTableEntry = 1; // cbSecondTableType: "Code Table", "Posing Table"

QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

// A row of the tree widget that answers its texts and red columns from the scene tree's row.
// A plain item keeps every text as a QVariant of its own, set column by column: for a list of
// 300 scenes of 30 assets that was most of a load, and again of its release.
class SceneTreeItem : public QTreeWidgetItem
{
public:
    explicit SceneTreeItem(const SceneTreeRow &row) : QTreeWidgetItem(UserType), m_row(row) {}

    QVariant data(int column, int role) const override
    {
        if (column >= 0 && column < SceneTreeColumn::Count) {
            if (role == Qt::DisplayRole || role == Qt::EditRole)
                return m_row.cell(column);
            if (role == Qt::ForegroundRole && m_row.isRed(column))
                return QBrush(Qt::red);
        }
        return QTreeWidgetItem::data(column, role);
    }

    // Edits (the edit key) change the row; another colour takes the place of the red.
    void setData(int column, int role, const QVariant &value) override
    {
        if (column >= 0 && column < SceneTreeColumn::Count) {
            if (role == Qt::DisplayRole || role == Qt::EditRole) {
                m_row.setCell(column, value.toString());
                emitDataChanged();
                return;
            }
            if (role == Qt::ForegroundRole)
                m_row.setRed(column, false);
        }
        QTreeWidgetItem::setData(column, role, value);
    }

private:
    SceneTreeRow m_row;
};

// Tens of thousands of rows: the items are made without a view and handed over in one call.
void fillTreeWidget(QTreeWidget *widget, const SceneTree &tree)
{
    widget->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(tree.scenes().size());
    for (const SceneTreeScene &scene : tree.scenes()) {
        auto *top = new SceneTreeItem(scene);
        for (const SceneTreeRow &element : scene.elements) {
            auto *child = new SceneTreeItem(element);
            child->setFlags(Qt::ItemIsEnabled);
            top->addChild(child);
        }
        items << top;
    }
    widget->addTopLevelItems(items);
    for (int i = 0; i < tree.scenes().size(); ++i)
        items.at(i)->setSelected(tree.scenes().at(i).selected);
}

bool isRed(const QTreeWidgetItem *item, int column)
{
    const QBrush brush = item->foreground(column);
    return brush.style() != Qt::NoBrush && brush.color() == QColor(Qt::red);
}

template <typename Row> Row rowOf(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int column = 0; column < SceneTreeColumn::Count; ++column)
        texts << item->text(column);
    Row row(texts);
    for (int column = 0; column < SceneTreeColumn::Count; ++column)
        row.setRed(column, isRed(item, column));
    return row;
}

SceneTree readTreeWidget(const QTreeWidget *widget)
{
    SceneTree tree;
    for (int i = 0; i < widget->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *top = widget->topLevelItem(i);
        SceneTreeScene scene = rowOf<SceneTreeScene>(top);
        scene.selected = top->isSelected();
        for (int c = 0; c < top->childCount(); ++c)
            scene.elements << rowOf<SceneTreeRow>(top->child(c));
        tree.appendScene(scene);
    }
    return tree;
}

} // namespace

CreateSceneWidget::CreateSceneWidget(QWidget *parent, QWidget *optionsPage) : QWidget(parent)
{
    Ui::CreateSceneWidget::setupUi(this);
    setHelpLink(stCreateSceneHelp, manualPage(kManualPage));
    buildToolBox(optionsPage);
    setUpPathSelectors();
    connectSignals();
    setUpTree();
    MatchingTableSetup::setUp(m_table);
    showSceneListType(cbSceneListType->currentIndex());
    m_core.setDialogParent(this);
}

CreateSceneWidget::~CreateSceneWidget()
{
    // The option pages may live on another tab; they go with the tab they configure.
    delete m_toolBox.data();
}

WToolBox *CreateSceneWidget::toolBox() const
{
    return m_toolBox;
}

void CreateSceneWidget::buildToolBox(QWidget *optionsPage)
{
    m_toolBox = new WToolBox(optionsPage ? optionsPage : this);
    ckUseTemplateFile = new QCheckBox(m_toolBox);
    ckUseTemplateFile->setObjectName(QStringLiteral("ckUseTemplateFile"));
    ckUseFilesInLibrary = new QCheckBox(m_toolBox);
    ckUseFilesInLibrary->setObjectName(QStringLiteral("ckUseFilesInLibrary"));

    struct Page
    {
        QString title;
        QWidget *content;
        QCheckBox *enabler;
        bool help;
    };
    const auto page = [](auto setup) {
        auto *widget = new QWidget;
        setup(widget);
        return widget;
    };
    QWidget *tablePage = page([this](QWidget *w) { Ui::OptionsTable::setupUi(w); });
    m_table = new TableConfig(tablePage);
    m_table->setObjectName(QStringLiteral("matchingTable"));
    matchingTableLayout->addWidget(m_table);
    const QVector<Page> pages{
        {QStringLiteral("Assets Matching Table"), tablePage, nullptr, true},
        {QStringLiteral("Production Setup"),
         page([this](QWidget *w) { Ui::OptionsProduction::setupUi(w); }), nullptr, false},
        {QStringLiteral("SceneList Options"),
         page([this](QWidget *w) { Ui::OptionsSceneList::setupUi(w); }), nullptr, false},
        {QStringLiteral(" Use Template File"),
         page([this](QWidget *w) { Ui::OptionsTemplate::setupUi(w); }), ckUseTemplateFile, true},
        {QStringLiteral(" Use Library Files"),
         page([this](QWidget *w) { Ui::LibraryFiles::setupUi(w); }), ckUseFilesInLibrary, true},
        {QStringLiteral("Scripts Files"),
         page([this](QWidget *w) { Ui::ScriptsFiles::setupUi(w); }), nullptr, true},
        {QStringLiteral("Harmony Options"),
         page([this](QWidget *w) { Ui::OptionsHarmony::setupUi(w); }), nullptr, true},
        {QStringLiteral("FishMode Options"),
         page([this](QWidget *w) { Ui::OptionsShotgun::setupUi(w); }), nullptr, false},
    };
    for (const Page &p : pages) {
        auto *item = new ToolItem(p.title, p.content, p.enabler);
        if (p.help)
            item->titleItem()->setHelpLink(manualPage(kManualPage));
        m_toolBox->addItem(item);
    }
    QLayout *target = optionsPage ? optionsPage->layout() : layout();
    if (target)
        target->addWidget(m_toolBox);
}

void CreateSceneWidget::setUpPathSelectors()
{
    const WPathSelector::Resolver resolver = [this](const QString &path) {
        return expandProductionPlaceholders(path, QString());
    };
    for (WPathSelector *selector :
         {pbSelectDestinationDir, pb_selectSceneList, pbSelectFlashTemplate})
        selector->setPlaceholderResolver(resolver);
    pb_selectSceneList->setSelectHere(false);
    pbSelectFlashTemplate->setIsFile(true);
    pbSelectFlashTemplate->setFileFilter(QStringLiteral("*.fla ;*.aep;*.max"));
    pbCodeConversionFile->setIsFile(true);
    pbCodeConversionFile->setFileFilter(QStringLiteral("*.csv"));
}

void CreateSceneWidget::setUpTree()
{
    static const int kWidths[] = {180, 50, 50, 200, 400, 200, 60, 20, 20, 20, 40};
    treeWidget->setColumnCount(11);
    treeWidget->setHeaderLabels(
        {QStringLiteral("Element"), QStringLiteral("Type"), QStringLiteral("Mode"),
         QStringLiteral("File Name"), QStringLiteral("Full Path Name"), QStringLiteral("LayerName"),
         QStringLiteral("LayerDir"), QStringLiteral("Cid"), QStringLiteral("Tid"),
         QStringLiteral("Fok"), QStringLiteral("TYPE")});
    for (int column = 0; column < 11; ++column)
        treeWidget->setColumnWidth(column, kWidths[column]);
    treeWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    treeWidget->setEditTriggers(QAbstractItemView::EditKeyPressed);
    treeWidget->setExpandsOnDoubleClick(false);
}

void CreateSceneWidget::connectSignals()
{
    using W = CreateSceneWidget;
    connect(pbOpenDestinationDir, &QPushButton::clicked, this, &W::OnOpenDestinationDirectory);
    connect(pb_selectSceneList, &WPathSelector::selectRequest, this, &W::OnSelectSceneList);
    connect(pbLoadSceneList, &QPushButton::clicked, this, &W::OnLoadSceneList);
    connect(pbAddLibDir, &QPushButton::clicked, this, &W::OnAddLibDir);
    connect(pbRemoveLibDir, &QPushButton::clicked, this, &W::OnRemoveLibDir);
    connect(pbUpLibDir, &QPushButton::clicked, this, &W::OnUpLibDir);
    connect(pbDownLibDir, &QPushButton::clicked, this, &W::OnDownLibDir);
    connect(pbCheckLibDirs, &QPushButton::clicked, this, &W::OnCheckLibDirs);
    connect(pbShowScanLibDir, &QPushButton::clicked, this, &W::OnShowDirectoryListInLog);
    connect(pbOpenLibDir, &QPushButton::clicked, this, &W::OnOpenLibDir);
    connect(pbAddScriptFile, &QPushButton::clicked, this, &W::OnAddScriptFile);
    connect(pbAddScriptName, &QPushButton::clicked, this, &W::OnAddScriptName);
    connect(pbRemoveScript, &QPushButton::clicked, this, &W::OnRemoveScript);
    connect(pbReloadScript, &QPushButton::clicked, this, &W::OnReloadScript);
    connect(cbSceneListType, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &W::OnChangeSceneListType);
    connect(pbTestAsset, &QPushButton::clicked, this, &W::OnTestAsset);
    connect(pbSlExport, &QPushButton::clicked, this, &W::OnShotLedgerExport);
    connect(pbCreateLog, &QPushButton::clicked, this, &W::OnCreateLog);
    connect(pbCreateAE, &QPushButton::clicked, this, &W::OnLayout3DsMax);
    connect(pbSelectAll, &QPushButton::clicked, this, &W::OnSelectAll);
    connect(pbUnselectAll, &QPushButton::clicked, this, &W::OnUnselectAll);
    connect(pbExpandAll, &QPushButton::clicked, this, &W::OnExpandAll);
    connect(pbCollapseAll, &QPushButton::clicked, this, &W::OnCollapseAll);
    connect(pbCodeConversionFile, &WPathSelector::pathChanged, this, &W::OnPbCodeConversionFile);
}

// ---- Scene source and tree -------------------------------------------------------------------

bool CreateSceneWidget::IsFromSPI() const
{
    return cbSceneListType->currentIndex() == 0;
}

bool CreateSceneWidget::IsFromDIR() const
{
    return cbSceneListType->currentIndex() == 1;
}

void CreateSceneWidget::showSceneListType(int type)
{
    const bool fromDir = type == 1;
    stCreaInputType->setText(fromDir ? QStringLiteral("= Files Dir =>")
                                     : QStringLiteral("= Scene List =>"));
    pbLoadSceneList->setText(fromDir ? QStringLiteral("Load From Dir")
                                     : QStringLiteral("Load Scene List"));
    stCreaInputExt->setVisible(fromDir);
    efCreaInputExt->setVisible(fromDir);
}

void CreateSceneWidget::OnChangeSceneListType(int type)
{
    showSceneListType(type);
    treeWidget->clear();
}

void CreateSceneWidget::OnSelectSceneList(WPathSelector *selector)
{
    appendLog(QStringLiteral("OnSelectSceneList"));
    if (!selector)
        return;
    if (IsFromSPI()) {
        selector->setFileFilter(QStringLiteral("*.xml;*.xlsx;*.csv"));
        selector->selectFile(selector->resolvedPath());
    } else {
        selector->selectDirectory(selector->resolvedPath());
    }
}

void CreateSceneWidget::OnOpenDestinationDirectory()
{
    const QString dir = QDir::toNativeSeparators(pbSelectDestinationDir->resolvedPath());
    appendLog(dir);
    // A missing folder is not reported: the desktop's browser says so itself.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(dir)));
}

void CreateSceneWidget::OnSelectAll()
{
    treeWidget->selectAll();
}

void CreateSceneWidget::OnUnselectAll()
{
    treeWidget->clearSelection();
}

void CreateSceneWidget::OnExpandAll()
{
    treeWidget->expandAll();
}

void CreateSceneWidget::OnCollapseAll()
{
    treeWidget->collapseAll();
}

void CreateSceneWidget::OnLayout3DsMax()
{
    Q_EMIT SigCreateScene();
}

void CreateSceneWidget::OnSelectFlashTemplate() {}

// ---- Scene list core -------------------------------------------------------------------------
// The scene list readers, the matching rules, the library index, the code table and the exports
// are plain classes of their own; these slots hand the panel's values to them.

SceneListOptions CreateSceneWidget::optionsSnapshot() const
{
    SceneListOptions o;
    o.table = MatchingTable::fromText(m_table->saveToText(), inactiveRowsText());
    o.sceneListType = cbSceneListType->currentIndex();
    o.sceneListPath = pb_selectSceneList->resolvedPath();
    o.inputExtension = efCreaInputExt->text();
    o.target = cbTarget->currentIndex();
    o.destinationDir = pbSelectDestinationDir->resolvedPath();
    o.libraryFolders = itemTexts(lwLibDir);
    o.libraryRecursion = cbLibraryFolderRecursion->currentIndex();
    o.csvStartLine = sbCsvStartLine->value();
    o.csvSeparator = cbCsvSeparator->currentText();
    o.csvSheetName = efCsvSheetName->text();
    o.splitCellOnSpace = ckCsvSplitCellOnSpace->isChecked();
    o.skipComments = ckCsvSkipComments->isChecked();
    o.fishModeCancel = ckFishModeCancel->isChecked();
    o.productionName = efProductionName->text();
    o.harmony.onlineMode = ckTBOnlineMode->isChecked();
    o.harmony.server = efTBServer->text();
    o.harmony.scenePath = efTBScenePath->text();
    o.production = productionValues();
    return o;
}

void CreateSceneWidget::setPythonInterpreterSource(std::function<QString()> source)
{
    m_interpreterSource = std::move(source);
}

SceneListOptions CreateSceneWidget::prepareCore()
{
    const QString interpreter = m_interpreterSource ? m_interpreterSource() : QString();
    m_core.assetQuery().setInterpreter(interpreter.isEmpty() ? AssetQuery::defaultInterpreter()
                                                             : interpreter);
    // Never the process's current folder: the host makes each scene folder current in turn.
    m_core.assetQuery().setScriptFolder(ConfigurationFiles::folder());
    return optionsSnapshot();
}

void CreateSceneWidget::OnLoadSceneList()
{
    treeWidget->clear();
    QProgressDialog dialog(QStringLiteral("Please Wait"), QStringLiteral("Cancel"), 0, 0, this);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.show();
    DialogProgress progress(&dialog);
    const SceneListLoad result = m_core.load(prepareCore(), &progress);
    appendLibraryFolders(result.addedLibraryFolders);
    showSceneTree();
}

void CreateSceneWidget::showSceneTree()
{
    fillTreeWidget(treeWidget, m_core.tree());
}

SceneTree CreateSceneWidget::sceneTreeFromWidget() const
{
    return readTreeWidget(treeWidget);
}

void CreateSceneWidget::appendLibraryFolders(const QStringList &folders)
{
    for (const QString &folder : folders) {
        auto *item = new QListWidgetItem(folder, lwLibDir);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void CreateSceneWidget::OnTestAsset()
{
    const int row = m_table->tableWidget()->currentRow();
    if (row < 0)
        return;
    stTestAsset->setText(m_core.testAsset(prepareCore(), row, efTestAsset->text()));
}

void CreateSceneWidget::OnShotLedgerExport()
{
    // The user may have changed the selection since the load: the widget is what they see.
    m_core.tree() = sceneTreeFromWidget();
    m_core.exportShotLedger(prepareCore());
}

void CreateSceneWidget::OnCreateLog()
{
    m_core.tree() = sceneTreeFromWidget();
    m_core.createMissingFilesLog(prepareCore());
}

void CreateSceneWidget::OnShowDirectoryListInLog()
{
    collectLibraryFiles(libraryDepth(), nullptr);
    // One block: a line per indexed file would be as many paragraphs in the console.
    appendLog(m_core.library().scanListing().join(QLatin1Char('\n')));
    Prompts::current().information(this, QString(), QStringLiteral("Open Log to See Result"));
}

void CreateSceneWidget::OnPbCodeConversionFile()
{
    const QString path = pbCodeConversionFile->resolvedPath();
    if (cbSecondTableType->currentIndex() == kPosingTableEntry)
        m_core.posingTable().setPath(path);
    else
        m_core.codeTable().setPath(path);
}

void CreateSceneWidget::collectLibraryFiles(int depth, QProgressDialog *dialog)
{
    const SceneListOptions o = prepareCore();
    std::unique_ptr<DialogProgress> progress;
    if (dialog)
        progress = std::make_unique<DialogProgress>(dialog);
    m_core.library().collect(o.libraryFolders, depth, o.table.nameFilters(), o.production,
                             progress.get());
}

// Before each imported scene: only the library folders that changed are read again, when the
// scene first looks in the library.
void CreateSceneWidget::refreshLibraryBeforeNextLookUp()
{
    m_core.refreshLibraryBeforeNextLookUp();
}

QVector<TableFile> CreateSceneWidget::GetFileToImportFromTable(const QString &sceneName, int mode)
{
    return m_core.GetFileToImportFromTable(prepareCore(), sceneName, mode);
}

// ---- Library folders -------------------------------------------------------------------------

QStringList CreateSceneWidget::libraryFolders(const QString &entry) const
{
    const QString path = QDir::fromNativeSeparators(entry);
    if (!hasWildcard(path))
        return {path};
    QStringList found;
    findDirectories(path, found, QStringLiteral("FUNCTION_START"));
    return found;
}

void CreateSceneWidget::OnAddLibDir()
{
    const QString dir =
        Prompts::current().chooseDirectory(this, QStringLiteral("Select Directory"), QString());
    if (dir.isEmpty())
        return;
    auto *item = new QListWidgetItem(QDir::fromNativeSeparators(dir), lwLibDir);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
}

void CreateSceneWidget::OnRemoveLibDir()
{
    qDeleteAll(lwLibDir->selectedItems());
}

void CreateSceneWidget::OnUpLibDir()
{
    moveListRow(lwLibDir, QStringLiteral("up"));
}

void CreateSceneWidget::OnDownLibDir()
{
    moveListRow(lwLibDir, QStringLiteral("down"));
}

void CreateSceneWidget::OnOpenLibDir()
{
    const QList<QListWidgetItem *> selected = lwLibDir->selectedItems();
    if (selected.size() != 1) {
        Prompts::current().information(this, QStringLiteral("Warning"),
                                       QStringLiteral("Select One (And Only One) Directory"));
        return;
    }
    const QString path =
        QDir::toNativeSeparators(expandProductionPlaceholders(selected.first()->text(), QString()));
    if (!QFileInfo(path).isDir()) {
        Prompts::current().information(this, QStringLiteral("Warning"),
                                       QStringLiteral("Directory Not Found:\n") + path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
}

void CreateSceneWidget::OnCheckLibDirs()
{
    appendLog(QStringLiteral("OnCheckLibDirs:"));
    QString text;
    for (int row = 0; row < lwLibDir->count(); ++row) {
        if (!lwLibDir->item(row)->isSelected())
            continue;
        const QString entry = expandProductionPlaceholders(lwLibDir->item(row)->text(), QString());
        appendLog(entry);
        QStringList folders = libraryFolders(entry);
        appendLog(folders.join(QLatin1Char('\n')));
        // A pattern that matches no folder is reported as missing, not left out silently.
        if (folders.isEmpty())
            folders << QDir::fromNativeSeparators(entry);
        for (const QString &folder : folders) {
            const bool found = QFileInfo(folder).isDir();
            text += QStringLiteral("<font color='%1'>%2[%3]</font><br>\n")
                        .arg(found ? QStringLiteral("#000000") : QStringLiteral("#900000"),
                             found ? QStringLiteral("Found") : QStringLiteral("Error"), folder);
        }
    }
    if (text.isEmpty())
        text = QStringLiteral("No Directory Selected !!!");
    Prompts::current().information(this, QStringLiteral("Checking Directory Access"), text);
}

// ---- Scripts ---------------------------------------------------------------------------------

void CreateSceneWidget::OnAddScriptFile()
{
    const QString file = Prompts::current().chooseOpenFile(
        this, QStringLiteral("Select Script File"), QString(),
        QStringLiteral("AE Scripts (*.jsx *.jsxbin);;Flash Scripts (*.jsfl)"));
    if (file.isEmpty())
        return;
    auto *item = new QListWidgetItem(QDir::fromNativeSeparators(file), lwScript);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
}

void CreateSceneWidget::OnAddScriptName()
{
    auto *item = new QListWidgetItem(QStringLiteral("MyStript.jsx"), lwScript);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
}

void CreateSceneWidget::OnRemoveScript()
{
    qDeleteAll(lwScript->selectedItems());
}

void CreateSceneWidget::OnReloadScript()
{
    Q_EMIT SigPbScriptReload();
}

// ---- What the scene runs read ----------------------------------------------------------------

QString CreateSceneWidget::expandProductionPlaceholders(const QString &templ,
                                                        const QString &value) const
{
    return productionValues().expand(templ, value);
}

ProductionValues CreateSceneWidget::productionValues() const
{
    ProductionValues values;
    values.episode = sbEpisodeNumber->text();
    values.episodeName = efEpisodeName->text();
    values.userVar1 = efUserVar1->text();
    values.userVar2 = efUserVar2->text();
    values.userVar3 = efUserVar3->text();
    values.job = efTBJob->text();
    return values;
}

bool CreateSceneWidget::useLibraryFiles() const
{
    return ckUseFilesInLibrary->isChecked();
}

bool CreateSceneWidget::moveFilesToRelativePath() const
{
    return ckImpMoveFilesToRelativePath->isChecked();
}

bool CreateSceneWidget::collectFiles() const
{
    return cbTarget->currentIndex() == TargetCollect;
}

bool CreateSceneWidget::useTemplate() const
{
    return ckUseTemplateFile->isChecked();
}

QString CreateSceneWidget::templatePath() const
{
    return pbSelectFlashTemplate->resolvedPath();
}

QStringList CreateSceneWidget::scripts() const
{
    return simplifiedEntries(lwScript);
}

int CreateSceneWidget::libraryDepth() const
{
    const int index = cbLibraryFolderRecursion->currentIndex();
    return index == cbLibraryFolderRecursion->count() - 1 ? 99 : qMax(index, 0);
}

QString CreateSceneWidget::destinationDir() const
{
    return pbSelectDestinationDir->resolvedPath();
}

QString CreateSceneWidget::inputDirectory() const
{
    return IsFromDIR() ? pb_selectSceneList->resolvedPath() : QString();
}

QString CreateSceneWidget::inputExtension() const
{
    return IsFromDIR() ? efCreaInputExt->text() : QString();
}

QVector<SceneToCreate> CreateSceneWidget::selectedScenes() const
{
    QVector<SceneToCreate> scenes;
    for (int i = 0; i < treeWidget->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *sceneItem = treeWidget->topLevelItem(i);
        if (!sceneItem->isSelected())
            continue;
        SceneToCreate scene;
        scene.name = sceneItem->text(0);
        for (int c = 0; c < sceneItem->childCount(); ++c)
            scene.elements << rowOf<SceneTreeRow>(sceneItem->child(c)).toElementToCreate();
        scenes << scene;
    }
    return scenes;
}

// ---- Settings --------------------------------------------------------------------------------

QString CreateSceneWidget::inactiveRowsText() const
{
    QStringList rows;
    const QTableWidget *table = m_table->tableWidget();
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto *check = qobject_cast<QCheckBox *>(table->cellWidget(row, m_table->checkCol()));
        if (check && !check->isChecked())
            rows << QString::number(row);
    }
    return rows.join(QLatin1Char(','));
}

void CreateSceneWidget::setInactiveRows(const QString &text)
{
    QSet<int> off;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int row = part.trimmed().toInt(&ok);
        if (ok)
            off.insert(row);
    }
    QTableWidget *table = m_table->tableWidget();
    for (int row = 0; row < table->rowCount(); ++row) {
        if (auto *check = qobject_cast<QCheckBox *>(table->cellWidget(row, m_table->checkCol())))
            check->setChecked(!off.contains(row));
    }
}

QVector<CreateSceneWidget::SettingKey> CreateSceneWidget::settingKeys() const
{
    const QString noName = QStringLiteral("No Name");
    QVector<SettingKey> keys{
        {QStringLiteral("cb_sourceDir"), lwLibDir, QString()},
        {QStringLiteral("listScript"), lwScript, QString()},
        {QStringLiteral("DestinationDir"), pbSelectDestinationDir,
         QStringLiteral("Select Destination Directory")},
        {QStringLiteral("SceneListFile"), pb_selectSceneList, QStringLiteral("Select SceneList")},
        {QStringLiteral("FlashTemplateFile"), pbSelectFlashTemplate,
         QStringLiteral("Select Flash Template")},
        {QStringLiteral("cbTarget"), cbTarget, 0},
        {QStringLiteral("cbSceneListType"), cbSceneListType, 0},
        {QStringLiteral("efCreaInputExt"), efCreaInputExt, QStringLiteral("mov")},
        {QStringLiteral("pbCodeConversionFile"), pbCodeConversionFile, QString()},
        {QStringLiteral("sbEpisodeNumber"), sbEpisodeNumber, 1},
        {QStringLiteral("efEpisodeName"), efEpisodeName, noName},
        {QStringLiteral("efProductionName"), efProductionName, noName},
        {QStringLiteral("ckTBOnlineMode"), ckTBOnlineMode, false},
        {QStringLiteral("ckTBAddPegs"), ckTBAddPegs, false},
        {QStringLiteral("ckTBAddPreview"), ckTBAddPreview, false},
        {QStringLiteral("efTBServer"), efTBServer, QStringLiteral("server_tb")},
        {QStringLiteral("efTBScenePath"), efTBScenePath, QStringLiteral("server_tb")},
        {QStringLiteral("efTBUser"), efTBUser, QStringLiteral("usabatch")},
        {QStringLiteral("efTBJob"), efTBJob, QStringLiteral("SQ_TEST")},
        {QStringLiteral("efUserVar1"), efUserVar1, QString()},
        {QStringLiteral("efUserVar2"), efUserVar2, QString()},
        {QStringLiteral("efUserVar3"), efUserVar3, QString()},
        {QStringLiteral("efCreateTbaWriteA1"), efCreateTbaWriteA1, QStringLiteral("Write_SD")},
        {QStringLiteral("efCreateTbaWriteB1"), efCreateTbaWriteB1, QStringLiteral("Write_HD")},
        {QStringLiteral("efCreateTbaWriteC1"), efCreateTbaWriteC1, QStringLiteral("Write_DERUSH")},
    };
    for (QLineEdit *edit :
         {efCreateTbaWriteA2, efCreateTbaWriteA3, efCreateTbaWriteB2, efCreateTbaWriteB3,
          efCreateTbaWriteC2, efCreateTbaWriteC3, efCreateTbaRemoveList, efCreateTbaConnectList,
          efCreateTbaPegA1, efCreateTbaPegB1})
        keys.append({edit->objectName(), edit, QString()});
    for (QDoubleSpinBox *scale :
         {sbCreateTbaPegAScale, sbCreateTbaPegBScale, sbCreateTbaSceneScale, sbCreateTbaBgScale})
        keys.append({scale->objectName(), scale, 1.0});
    keys += QVector<SettingKey>{
        {QStringLiteral("cbLibraryFolderRecursion"), cbLibraryFolderRecursion, 0},
        {QStringLiteral("sbCsvStartLine"), sbCsvStartLine, 2},
        {QStringLiteral("efCsvSheetName"), efCsvSheetName, QStringLiteral("1")},
        {QStringLiteral("cbCsvSeparator"), cbCsvSeparator, 0},
        {QStringLiteral("ckCsvSplitCellOnSpace"), ckCsvSplitCellOnSpace, false},
        {QStringLiteral("ckCsvSkipComments"), ckCsvSkipComments, true},
        {QStringLiteral("ckImpMoveFilesToRelativePath"), ckImpMoveFilesToRelativePath, false},
        {QStringLiteral("ckUseFilesInLibrary"), ckUseFilesInLibrary, false},
        {QStringLiteral("ckUseTemplateFile"), ckUseTemplateFile, false},
        {QStringLiteral("ckFishModeCancel"), ckFishModeCancel, false},
    };
    return keys;
}

void CreateSceneWidget::loadSettings(QSettings &settings)
{
    for (const SettingKey &k : settingKeys())
        loadValue(k.widget, CreateSceneConfiguration::readKey(settings, k.key, k.defaultValue),
                  k.defaultValue);
    m_table->loadFromText(
        CreateSceneConfiguration::readKey(settings, kTableKey, QString()).toString());
    // Rows switched off are kept apart from the table text, whose form other tools read.
    setInactiveRows(
        CreateSceneConfiguration::readKey(settings, kInactiveRowsKey, QString()).toString());
    m_table->applyCellStyles();
    OnPbCodeConversionFile();
}

void CreateSceneWidget::saveSettings(QSettings &settings)
{
    settings.beginGroup(kSettingsGroup);
    for (const SettingKey &k : settingKeys())
        settings.setValue(k.key, savedValue(k.widget));
    settings.setValue(kTableKey, m_table->saveToText());
    settings.setValue(kInactiveRowsKey, inactiveRowsText());
    settings.endGroup();
}
