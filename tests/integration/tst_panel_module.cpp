// The real plug-in module in the test host: the panel opened from the Window menu logs its
// start-up banner, forwards Undo to the host, follows its container's size and keeps its
// options in the configuration.
#include "testhost/core/TestHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

class TestPanelModule : public QObject
{
    Q_OBJECT

private:
    QWidget *openPanel()
    {
        if (!m_host->panelContainer(QStringLiteral("cellKit")))
            m_host->chooseWindowMenuEntry(QStringLiteral("cellKit"));
        QWidget *container = m_host->panelContainer(QStringLiteral("cellKit"));
        if (!container)
            return nullptr;
        for (QWidget *w : container->findChildren<QWidget *>())
            if (w->inherits("WinTools"))
                return w;
        return nullptr;
    }

    QTemporaryDir m_config;
    TestHost *m_host = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        m_host = new TestHost(this);
        QString error;
        QVERIFY2(m_host->loadPlugin(qEnvironmentVariable("CELLKIT_TEST_MODULE"), &error),
                 qPrintable(error));
    }

    void bannerIsLoggedInOrder()
    {
        QWidget *panel = openPanel();
        QVERIFY(panel);
        auto *log = panel->findChild<QTextEdit *>(QStringLiteral("efLog"));
        QVERIFY(log);
        const QString text = log->toPlainText();
        int at = 0;
        for (const QString &line :
             {QStringLiteral("--- ReelTool Log is Ready --- from qWarning()"),
              QStringLiteral("Start Time:"), QStringLiteral("Compil Date:"),
              QStringLiteral("Compil Time:"), QStringLiteral("vdTest2"),
              QStringLiteral("  === CellKit4After === "),
              QStringLiteral("CellKit4After - Version 1.8.3")}) {
            const int found = text.indexOf(line, at);
            QVERIFY2(found >= 0, qPrintable(line));
            at = found + line.size();
        }
    }

    void undoOnButtonReachesHost()
    {
        QWidget *panel = openPanel();
        QVERIFY(panel);
        auto *button = panel->findChild<QAbstractButton *>(QStringLiteral("pbImpRefreshInputDir"));
        QVERIFY(button);
        const int before = m_host->recordedCommands().size();
        QTest::keyClick(button, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(button, Qt::Key_A, Qt::ControlModifier);
        const QVector<AEGP_Command> commands = m_host->recordedCommands().mid(before);
        QCOMPARE(commands, QVector<AEGP_Command>{16});
    }

    void panelFollowsContainerSize()
    {
        QWidget *panel = openPanel();
        QVERIFY(panel);
        QWidget *container = m_host->panelContainer(QStringLiteral("cellKit"));
        QCOMPARE(panel->parentWidget(), container);
        // The container was on screen before the panel existed: the panel fills it at once.
        QTRY_COMPARE(panel->geometry(), container->rect());
        for (const QSize &size : {QSize(640, 480), QSize(333, 211), QSize(900, 1200)}) {
            container->resize(size);
            QTRY_COMPARE(panel->geometry(), QRect(QPoint(0, 0), size));
        }
    }

    void closingTheContainerSavesOptions()
    {
        QWidget *panel = openPanel();
        QVERIFY(panel);
        panel->findChild<QLineEdit *>(QStringLiteral("efImpFolder"))->setText(QStringLiteral("kept"));
        delete m_host->panelContainer(QStringLiteral("cellKit"));
        QTRY_VERIFY(!m_host->panelContainer(QStringLiteral("cellKit")));
        panel = openPanel();
        QVERIFY(panel);
        QCOMPARE(panel->findChild<QLineEdit *>(QStringLiteral("efImpFolder"))->text(),
                 QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestPanelModule)
#include "tst_panel_module.moc"
