// The real module in the test host: the Window menu entry, the panel toggle, the check mark,
// idle calls and host failures stopped at the hooks. One plug-in object per process, so the
// tests share it and each one starts by putting the panel in the state it needs.
#include "testhost/core/SuiteRegistry.h"
#include "testhost/core/TestHost.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <QtTest>

class TestShellPlugin : public QObject
{
    Q_OBJECT
private:
    TestHost *m_host = nullptr;
    AEGP_Command m_command = 0;

    MenuEntry entry()
    {
        m_host->updateMenus();
        const auto menu = m_host->menu(AEGP_Menu_WINDOW);
        return menu.isEmpty() ? MenuEntry() : menu.first();
    }
    void closePanel()
    {
        if (m_host->panelShown(QStringLiteral("cellKit"))) {
            m_host->bringToFront(QStringLiteral("cellKit"));
            m_host->chooseWindowMenuEntry(QStringLiteral("cellKit"));
        }
        QVERIFY(!m_host->panelShown(QStringLiteral("cellKit")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        // This process already has a Qt application with its own look; loading the plug-in
        // must leave it alone.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(1, 2, 3));
        QApplication::setPalette(palette);

        m_host = new TestHost(this);
        QString error;
        QVERIFY2(m_host->loadPlugin(qEnvironmentVariable("CELLKIT_TEST_MODULE"), &error),
                 qPrintable(error));
        QVERIFY(m_host->globalRefcon());
        m_command = entry().command;
        QVERIFY(m_command != 0);
    }

    void existingApplicationKeepsItsLook()
    {
        QCOMPARE(QApplication::style()->objectName().toLower(), QStringLiteral("windows"));
        QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(1, 2, 3));
    }

    void startUpRegistersEverything()
    {
        QCOMPARE(m_host->hooks(),
                 QStringList({"command", "idle", "update-menu", "death", "create-panel:cellKit"}));
        const auto menu = m_host->menu(AEGP_Menu_WINDOW);
        QCOMPARE(menu.size(), 1);
        QCOMPARE(menu.first().name, QStringLiteral("cellKit"));
        QCOMPARE(menu.first().position, A_long(AEGP_MENU_INSERT_SORTED));
        // Held for the plug-in's life: the panel suite and the two suites of the cache.
        QCOMPARE(m_host->suites().held(kAEGPWorkspacePanelSuite, 1), 1);
        QCOMPARE(m_host->suites().held(kAEGPCommandSuite, 1), 1);
        QCOMPARE(m_host->suites().held(kAEGPRegisterSuite, 6), 1);
    }

    void toggleShowsThenHides()
    {
        closePanel();
        QCOMPARE(m_host->idle(2), A_long(10)); // no panel yet: the idle call only sets its wait
        QVERIFY(!m_host->panelContainer(QStringLiteral("cellKit")));
        QVERIFY(entry().enabled);
        QVERIFY(!entry().checked);
        QVERIFY(m_host->chooseWindowMenuEntry(QStringLiteral("cellKit")));
        bool front = false;
        QVERIFY(m_host->panelShown(QStringLiteral("cellKit"), &front));
        QVERIFY(front);
        QPointer<QWidget> container = m_host->panelContainer(QStringLiteral("cellKit"));
        QVERIFY(container && !container->children().isEmpty()); // the panel lives in it
        QVERIFY(entry().checked);
        QCOMPARE(m_host->idle(1), A_long(10));

        QVERIFY(m_host->chooseWindowMenuEntry(QStringLiteral("cellKit")));
        QVERIFY(!m_host->panelShown(QStringLiteral("cellKit")));
        QVERIFY(!entry().checked);
        QTRY_VERIFY(!container); // the host destroyed it; idle must not reach the old panel
        QCOMPARE(m_host->idle(1), A_long(10));
    }

    void hostErrorsStopAtTheHooks_data()
    {
        QTest::addColumn<QByteArray>("call");
        QTest::newRow("toggle") << QByteArray("AEGP_ToggleVisibility");
        QTest::newRow("is shown") << QByteArray("AEGP_IsShown");
        QTest::newRow("check mark") << QByteArray("AEGP_CheckMarkMenuCommand");
    }
    void hostErrorsStopAtTheHooks()
    {
        QFETCH(QByteArray, call);
        closePanel();
        m_host->faults().failCall(call, A_Err_GENERIC);
        m_host->updateMenus();
        m_host->runCommand(m_command);
        m_host->idle(1);
        m_host->faults().clear();
        // The host is unharmed and the plug-in still answers.
        closePanel();
        m_host->runCommand(m_command);
        QVERIFY(m_host->panelShown(QStringLiteral("cellKit")));
        QVERIFY(entry().checked);
    }

    void deathHooksRunOnce()
    {
        // Other commands, and the plug-in's own, are not marked handled.
        QVERIFY(!m_host->runCommand(kHostCommandUndo) && !m_host->runCommand(m_command));
        m_host->shutdown();
        m_host->shutdown();
        QVERIFY(!m_host->panelContainer(QStringLiteral("cellKit")));
    }
};

QTEST_MAIN(TestShellPlugin)
#include "tst_shell_plugin.moc"
