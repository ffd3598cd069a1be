// cellkit-host's command line with the real module: the Window menu, choosing its entry,
// fault options, the refusals of bad options, the panel's start-up banner in the log, and the
// dialogs a window leaves to the user.
#include "HostProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestShellHostCli : public QObject
{
    Q_OBJECT
private:
    using Run = HostProcessRun;
    Run host(const QStringList &args) { return runHost(args); }

private Q_SLOTS:
    void menuFollowsThePanel_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::newRow("loaded") << QStringList{"--menu"} << "- e cellKit\n";
        QTest::newRow("shown") << QStringList{"--command", "cellKit", "--idle", "1", "--menu"}
                               << "x e cellKit\n";
        QTest::newRow("is-shown fails")
            << QStringList{"--fail-call", "AEGP_IsShown=3", "--command", "cellKit", "--menu"}
            << "- e cellKit\n";
        QTest::newRow("no panel suite")
            << QStringList{"--refuse-suite", "AEGP Workspace Panel Suite", "--menu",
                           "--print-hooks"}
            << "held suites: 0\n";
        QTest::newRow("death hook fails")
            << QStringList{"--fail-call", "AEGP_RegisterDeathHook=5", "--idle", "2", "--menu"}
            << "- d cellKit\n";
    }
    void menuFollowsThePanel()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        const Run r = host(args);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, out);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown entry") << QStringList{"--command", "Nope"} << "Nope";
        QTest::newRow("missing module")
            << QStringList{"--plugin", "/nonexistent/x.so"} << "no such file";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "unknown option";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = host(args);
        QVERIFY(r.code > 0);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // With a window, a box that a --click opens after a --set waits for the user: answering it
    // by default belongs to headless runs.
    void windowLeavesDialogsToTheUser()
    {
        QTemporaryDir config;
        QProcess window;
        window.start(qEnvironmentVariable("CELLKIT_TEST_HOST"),
                     {"--config-dir", config.path(), "--command", "cellKit", "--set",
                      "efImpCompName=X", "--click", "pbTestCompName"});
        QString err;
        QTRY_VERIFY_WITH_TIMEOUT((err += window.readAllStandardError()).contains("dialog: "),
                                 30000);
        window.kill();
        window.waitForFinished();
        QVERIFY2(err.contains("dialog: Warning: Select one (and only one) Scene directory "
                              "(waiting for the user)"),
                 qPrintable(err));
    }

    // The start-up banner of the panel, line by line, in the log the run writes.
    void bannerLinesInOrder()
    {
        const Run r = host({"--command", "cellKit", "--idle", "1", "--log", "-"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        const QStringList expected{
            QRegularExpression::escape("--- ReelTool Log is Ready --- from qWarning() "),
            R"(Start Time: "\d\d:\d\d:\d\d")",
            R"(Compil Date: [A-Z][a-z]{2} [ \d]\d \d{4})",
            R"(Compil Time: \d\d:\d\d:\d\d)",
            "vdTest2",
            "",
            "  === CellKit4After === ",
            ".+",
            ".+",
            "  ================== ",
            "",
            "",
            QRegularExpression::escape("CellKit4After - Version 1.8.3"),
            QRegularExpression::escape("Qt:" QT_VERSION_STR),
            "Msvc:.+",
            R"([A-Z][a-z]{2} [ \d]\d \d{4})",
            R"(\d\d:\d\d:\d\d)",
            "",
        };
        QVERIFY2(lines.size() > expected.size(), qPrintable(r.out));
        for (int i = 0; i < expected.size(); ++i) {
            const QRegularExpression line(QRegularExpression::anchoredPattern(expected.at(i)));
            QVERIFY2(line.match(lines.at(i)).hasMatch(),
                     qPrintable(QStringLiteral("line %1: [%2]").arg(i).arg(lines.at(i))));
        }
    }
};

QTEST_GUILESS_MAIN(TestShellHostCli)
#include "tst_shell_hostcli.moc"
