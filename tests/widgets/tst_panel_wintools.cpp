// The main panel built on a fake host: a basic suite that serves the two panel suites and a
// command suite recording AEGP_DoCommand, and a plain QWidget as the host's container.
// Generated form headers the Board header includes.
#include "ui_Log.h"
#include "ui_SendMessage.h"
#include "ui_SendReportWidget.h"
#include "ui_Settings.h"

#include "board/Appearance.h"
#include "board/ReportWidget.h"
#include "import/HostConnection.h"
#include "panel/WinTools.h"
#include "scenelist/gui/CreateSceneWidget.h"
#include "support/AnsweringPrompts.h"
#include "widgets/TitleItem.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

std::vector<A_long> g_commands;
A_Err g_commandResult = 0; // what the fake host answers to AEGP_DoCommand
QStringList g_refused;     // suite names the fake host refuses
int g_held = 0;            // suites acquired and not yet released

A_Err recordCommand(AEGP_Command command)
{
    g_commands.push_back(command);
    return g_commandResult;
}

PFAppSuite6 g_appSuite{};
AEGP_PanelSuite1 g_panelSuite{};
AEGP_CommandSuite1 g_commandSuite{};

SPErr acquire(const char *name, int, const void **suite)
{
    if (g_refused.contains(QString::fromLatin1(name)))
        return 1;
    if (!std::strcmp(name, kPFAppSuite))
        *suite = &g_appSuite;
    else if (!std::strcmp(name, kAEGPWorkspacePanelSuite))
        *suite = &g_panelSuite;
    else if (!std::strcmp(name, kAEGPCommandSuite))
        *suite = &g_commandSuite;
    else
        return 1;
    ++g_held;
    return 0;
}

SPErr release(const char *, int)
{
    --g_held;
    return 0;
}

SPBasicSuite g_basic{acquire, release};

// Counts the runs the idle hook starts, in order.
class CountingPanel : public WinTools
{
public:
    using WinTools::WinTools;
    QStringList runs;

protected:
    void ImportScene() override { runs << "import"; }
    void CreateScene() override { runs << "create"; }
};

QList<QCheckBox *> checkBoxes(CountingPanel *p)
{
    return {p->ckImpNewProject,       p->ckImpUseXml,
            p->ckImpOneImaIsFixeIma,  p->ckImpCreateZeroIma,
            p->ckImpReverseExpoOrder, p->ckImpUseShellComp,
            p->ckImpForceCompSize,    p->ckImpCompSizeFromImaSize};
}

// Every saved import setting, "|"-separated; the check boxes as one string of 0 and 1.
QString state(CountingPanel *p)
{
    QStringList out{p->pbImpInputDir->text(), QString()};
    for (QCheckBox *box : checkBoxes(p))
        out[1] += QLatin1Char(box->isChecked() ? '1' : '0');
    for (QLineEdit *edit : {p->efImpFileExtensions, p->efImpFolder, p->efImpShellCompName,
                            p->efImpCompName, p->efImpOutputFileName, p->efImpCompSizeFromImaExt})
        out << edit->text();
    for (QSpinBox *box : {p->sbImpCompWidth, p->sbImpCompHeight, p->sbImpCompFrameRate})
        out << QString::number(box->value());
    out << QString::number(p->cbImpPrecomp->currentIndex());
    return out.join(QLatin1Char('|'));
}

// The forms tick ckImpOneImaIsFixeIma and fill the names; the loaded defaults win.
const QString kDefaults =
    QStringLiteral("Select Input Directory|10000000|*.png,*.mov|||||png|1280|720|25|0");

// Whether `w` is part of a compound widget (an item view's header, a spin box's editor, a scroll
// bar): those are laid out by their owner, not by our forms.
bool isInnerPart(const QWidget *w, const QWidget *top)
{
    for (const QWidget *p = w; p && p != top; p = p->parentWidget()) {
        const bool inner = p->objectName().startsWith(QLatin1String("qt_")) &&
                           p->objectName() != QLatin1String("qt_scrollarea_viewport");
        if (inner ||
            (p != w &&
             (qobject_cast<const QAbstractItemView *>(p) || qobject_cast<const QTextEdit *>(p) ||
              qobject_cast<const QAbstractSpinBox *>(p) || qobject_cast<const QComboBox *>(p))))
            return true;
    }
    return false;
}

// Visible widgets of `top` drawn smaller than their minimum size hint (capped by a designed
// maximum), as "name WxH < WxH".
QStringList crushedWidgets(QWidget *top)
{
    QStringList crushed;
    for (QWidget *w : top->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(top) || isInnerPart(w, top))
            continue;
        const QSize hint = w->minimumSizeHint().boundedTo(w->maximumSize());
        const QSizePolicy policy = w->sizePolicy();
        const bool narrow =
            policy.horizontalPolicy() != QSizePolicy::Ignored && w->width() < hint.width();
        const bool low =
            policy.verticalPolicy() != QSizePolicy::Ignored && w->height() < hint.height();
        if (narrow || low)
            crushed << QStringLiteral("%1 %2x%3 < %4x%5")
                           .arg(w->objectName().isEmpty() ? w->metaObject()->className()
                                                          : w->objectName())
                           .arg(w->width())
                           .arg(w->height())
                           .arg(hint.width())
                           .arg(hint.height());
    }
    return crushed;
}

// WCAG contrast ratio of two colours (1 to 21; 3 is the least for large or underlined text).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestPanelWinTools : public QObject
{
    Q_OBJECT

private:
    CountingPanel *makePanel()
    {
        return new CountingPanel(&g_basic, 7, nullptr, m_container.get(), &m_table);
    }

    QTemporaryDir m_configDir;
    std::unique_ptr<HostConnection> m_connection;
    std::unique_ptr<QWidget> m_container;
    AnsweringPrompts m_prompts;
    AEGP_PanelFunctions1 m_table{};

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_configDir.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_configDir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_configDir.path());
        g_commandSuite.AEGP_DoCommand = recordCommand;
        // Host commands reach the host through the plug-in's connection, as in the module.
        m_connection = std::make_unique<HostConnection>(&g_basic, 7);
        Prompts::install(&m_prompts);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

    void init()
    {
        // Every case starts without any configuration on disk.
        QDir(m_configDir.filePath("Quillmark")).removeRecursively();
        QFile::remove(m_configDir.filePath("Quillmark.conf"));
        g_commands.clear();
        g_commandResult = 0;
        g_refused.clear();
        m_prompts.forget();
        m_container.reset(new QWidget);
        m_container->resize(300, 500);
    }

    void cleanup() { m_container.reset(); }

    void missingSuiteThrows13()
    {
        const int heldBefore = g_held;
        for (const char *name : {kPFAppSuite, kAEGPWorkspacePanelSuite}) {
            g_refused = QStringList{QString::fromLatin1(name)};
            int thrown = 0;
            try {
                delete makePanel();
            } catch (int code) {
                thrown = code;
            }
            QCOMPARE(thrown, 13);
            QCOMPARE(g_held, heldBefore); // nothing acquired stays held
        }
    }

    // Two clicks make one run; with both flags set the import runs before the creation.
    void idleHookRunsEachTaskOnce()
    {
        CountingPanel *panel = makePanel();
        QVERIFY(panel->pb_importScene->isEnabled());
        QTest::mouseClick(panel->pb_importScene, Qt::LeftButton);
        QTest::mouseClick(panel->pb_importScene, Qt::LeftButton);
        panel->OnCreateScene();
        panel->RunIdleTasks();
        panel->RunIdleTasks();
        QCOMPARE(panel->runs, (QStringList{"import", "create"}));
        QVERIFY(!panel->importPending() && !panel->createPending());
        QVERIFY(panel->board()->efLog->toPlainText().contains(
            "-END- IdleHook signalImportScene= false"));
    }

    void saveThenLoadRestoresEveryWidget()
    {
        CountingPanel *panel = makePanel();
        QCOMPARE(panel->tabWidget->currentIndex(), 2);
        QCOMPARE(state(panel), kDefaults);
        panel->pbImpInputDir->setText("/scenes/ep01");
        for (QCheckBox *box : checkBoxes(panel))
            box->toggle();
        panel->cbImpPrecomp->setCurrentIndex(4);
        const QStringList texts{"*.tga", "IN_%a", "SHELL", "C_%a", "F_%a", "tga"};
        const QList<QLineEdit *> edits{panel->efImpFileExtensions, panel->efImpFolder,
                                       panel->efImpShellCompName,  panel->efImpCompName,
                                       panel->efImpOutputFileName, panel->efImpCompSizeFromImaExt};
        for (int i = 0; i < edits.size(); ++i)
            edits[i]->setText(texts[i]);
        panel->sbImpCompWidth->setValue(2048);
        panel->sbImpCompHeight->setValue(858);
        panel->sbImpCompFrameRate->setValue(24);
        panel->board()->cbColorSet->setCurrentIndex(2);
        panel->board()->slColorRange->setValue(40);
        const QString saved = state(panel);
        QCOMPARE(saved,
                 QString("/scenes/ep01|01111111|*.tga|IN_%a|SHELL|C_%a|F_%a|tga|2048|858|24|4"));
        panel->OnGlobalSaveSettings("probe");
        panel->OnGlobalLoadSettings("other"); // a fresh configuration: all defaults
        QCOMPARE(state(panel), kDefaults);
        QCOMPARE(panel->board()->cbColorSet->currentIndex(), 0);
        panel->OnGlobalLoadSettings("probe");
        QCOMPARE(state(panel), saved);
        QCOMPARE(panel->board()->cbColorSet->currentIndex(), 2);
        QCOMPARE(panel->board()->slColorRange->value(), 40);
        QVERIFY(QFile::exists(QDir(m_configDir.path()).filePath("Quillmark/probe.ini")));
    }

    void nameTestNeedsExactlyOneScene_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        const QString warn = QString::number(Prompts::Warning) +
                             "|Warning|Select one (and only one) Scene directory";
        const QString result = QString::number(Prompts::Information) + "|Result:|";
        QTest::newRow("none") << QStringList() << "EP_%a_%e" << warn;
        // The episode number of a fresh configuration is 1.
        QTest::newRow("one") << QStringList{"sc02"} << "EP%03e_%a" << result + "EP001_sc02";
    }

    void nameTestNeedsExactlyOneScene()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        CountingPanel *panel = makePanel();
        panel->lwImpInputDir->addItems({"sc01", "sc02"});
        panel->lwImpInputDir->setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (const QString &name : selected) {
            QListWidgetItem *item =
                panel->lwImpInputDir->findItems(name, Qt::MatchExactly).value(0);
            panel->lwImpInputDir->setCurrentItem(item, QItemSelectionModel::Select);
        }
        panel->efImpCompName->setText(pattern);
        QTest::mouseClick(panel->pbTestCompName, Qt::LeftButton);
        QCOMPARE(m_prompts.asked().size(), 1);
        const AnsweringPrompts::Question &q = m_prompts.asked().first();
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(q.kind).arg(q.title, q.text), expected);
    }

    void launcherLabels_data()
    {
        QTest::addColumn<QStringList>("scripts");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("same name")
            << QStringList{"/a/fx.jsx", "/b/fx.jsx"} << QStringList{"fx", "fx"};
        QTest::newRow("capitals, marker, blank")
            << QStringList{"C:\\s\\Fix.JSXBIN", "  ", "/v1.2/take%1", "%0.jsx"}
            << QStringList{"Fix", "take1", "%0"};
    }
    void launcherLabels()
    {
        QFETCH(QStringList, scripts);
        QFETCH(QStringList, labels);
        CountingPanel *panel = makePanel();
        panel->createSceneTab()->lwScript->addItems(scripts);
        panel->OnScriptReload();
        panel->OnInitLauncherPage(); // a second rebuild leaves one button per entry
        QStringList shown;
        for (int i = 0; i < panel->DynamicButtonZone->count(); ++i)
            shown << qobject_cast<QPushButton *>(panel->DynamicButtonZone->itemAt(i)->widget())
                         ->text();
        QCOMPARE(shown, labels);
        QVERIFY(!panel->board()->efLog->toPlainText().contains("QString::arg"));
    }

    // Every tab's "Need Help ?" opens an existing manual page about that tab, drawn in the
    // palette's link colour: the fixed blue it had was unreadable on the dark colours.
    void helpLinksOpenTheirTabsPageReadably()
    {
        CountingPanel *panel = makePanel();
        const QVector<QStringList> pages{{"launch.html"},
                                         {"create-scene.html"},
                                         {"import-scene.html", "import-options.html"},
                                         {"create-scene.html"},
                                         {"board.html"}};
        const QPalette original = QApplication::palette();
        const QRegularExpression link("href=\"([^\"]+)\".*color:(#[0-9a-f]{6})");
        const QVector<std::pair<int, double>> colourSets{{Appearance::DarkAE, 0.0},
                                                         {Appearance::DarkAE, 1.0},
                                                         {Appearance::LightAE, 0.0},
                                                         {Appearance::LightAE, 0.99}};
        for (const auto &[set, range] : colourSets) {
            QPalette palette = original;
            Appearance::buildPalette(palette, set, range);
            QApplication::setPalette(palette);
            QVERIFY(contrast(palette.color(QPalette::Link), palette.color(QPalette::Window)) >= 3);
            for (int tab = 0; tab < panel->tabWidget->count(); ++tab) {
                int links = 0;
                for (QLabel *label : panel->tabWidget->widget(tab)->findChildren<QLabel *>()) {
                    const QRegularExpressionMatch m = link.match(label->text());
                    if (!m.hasMatch())
                        continue;
                    ++links;
                    const QFileInfo page(QUrl(m.captured(1)).toLocalFile());
                    QVERIFY2(page.exists() && pages[tab].contains(page.fileName()),
                             qPrintable(m.captured(1)));
                    QCOMPARE(m.captured(2), palette.color(QPalette::Link).name());
                }
                QVERIFY2(links > 0, qPrintable(panel->tabWidget->tabText(tab)));
            }
        }
        QApplication::setPalette(original);
    }

    // The host docks the panel in frames of any size: with every page of every tab open, the
    // pages scroll instead of squeezing a widget below its minimum size hint.
    void openPagesNeverCrushWidgets_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("host window") << QSize(1280, 800);
        QTest::newRow("narrow dock") << QSize(400, 600);
    }
    void openPagesNeverCrushWidgets()
    {
        QFETCH(QSize, size);
        m_container->resize(size);
        CountingPanel *panel = makePanel();
        m_container->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
        for (TitleItem *title : panel->findChildren<TitleItem *>())
            title->setOpen(true);
        QStringList crushed;
        for (int tab = 0; tab < panel->tabWidget->count(); ++tab) {
            panel->tabWidget->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            for (const QString &w : crushedWidgets(panel->tabWidget->widget(tab)))
                crushed << panel->tabWidget->tabText(tab) + ": " + w;
        }
        QVERIFY2(crushed.isEmpty(), qPrintable(crushed.join(QLatin1String(", "))));
    }

    // With one growing page open, the free height goes to it and not to the tool box's
    // trailing stretch.
    void openPageTakesFreeHeight_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("grower");
        QTest::newRow("matching table") << 3 << "Assets Matching Table"
                                        << "table";
        QTest::newRow("log") << 4 << "Log"
                             << "efLog";
    }
    void openPageTakesFreeHeight()
    {
        QFETCH(int, tab);
        QFETCH(QString, page);
        QFETCH(QString, grower);
        m_container->resize(1280, 800);
        CountingPanel *panel = makePanel();
        panel->tabWidget->setCurrentIndex(tab);
        m_container->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
        QWidget *tabPage = panel->tabWidget->widget(tab);
        for (QLabel *title : tabPage->findChildren<QLabel *>("TitleItemLabel"))
            if (title->text() == page)
                qobject_cast<TitleItem *>(title->parentWidget())->setOpen(true);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        auto *view = tabPage->findChild<QAbstractScrollArea *>(grower);
        QVERIFY(view && view->isVisible());
        QWidget *toolBox = view->parentWidget();
        while (toolBox && !toolBox->inherits("WToolBox"))
            toolBox = toolBox->parentWidget();
        QVERIFY(toolBox);
        QLayoutItem *stretch = toolBox->layout()->itemAt(toolBox->layout()->count() - 1);
        QCOMPARE(stretch->geometry().height(), 0);
    }

    // Undo on a button reaches the host, a text field keeps its own; a refused command is kept.
    void shortcutsReachHost()
    {
        CountingPanel *panel = makePanel();
        m_container->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_container.get()));
        panel->pbImpRefreshInputDir->setFocus();
        QTest::keyClick(panel->pbImpRefreshInputDir, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(panel->pbImpRefreshInputDir, Qt::Key_Q, Qt::ControlModifier);
        QTest::keyClick(panel->efImpFolder, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(g_commands, std::vector<A_long>{16});
        g_commandResult = 9;
        QTest::keyClick(panel->lwImpInputDir, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(g_commands, (std::vector<A_long>{16, 5}));
        QCOMPARE(m_connection->lastError(), A_Err(9));
        g_commandResult = 0;
        QTest::keyClick(panel->lwImpInputDir, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(g_commands, (std::vector<A_long>{16, 5, 3}));
        QCOMPARE(m_connection->lastError(), A_Err(0));
    }
};

QTEST_MAIN(TestPanelWinTools)
#include "tst_panel_wintools.moc"
