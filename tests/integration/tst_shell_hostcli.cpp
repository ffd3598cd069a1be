// cellkit-host's command line with the real module: the Window menu, choosing its entry,
// fault options and the refusals of bad options.
#include "HostProcess.h"

#include <QProcess>
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
        QTest::newRow("hidden again")
            << QStringList{"--command", "cellKit", "--command", "cellKit", "--menu"}
            << "- e cellKit\n";
        QTest::newRow("is-shown fails")
            << QStringList{"--fail-call", "AEGP_IsShown=3", "--command", "cellKit", "--menu"}
            << "- e cellKit\n";
        QTest::newRow("no panel suite")
            << QStringList{"--refuse-suite", "AEGP Workspace Panel Suite", "--menu", "--print-hooks"}
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
        QTest::newRow("missing module") << QStringList{"--plugin", "/nonexistent/x.so"}
                                        << "no such file";
        QTest::newRow("bad idle") << QStringList{"--idle", "many"} << "--idle";
        QTest::newRow("bad fault") << QStringList{"--fail-call", "AEGP_IsShown"} << "NAME=CODE";
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
};

QTEST_GUILESS_MAIN(TestShellHostCli)
#include "tst_shell_hostcli.moc"
