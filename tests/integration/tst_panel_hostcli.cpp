// cellkit-host driving the real panel from the command line: the start-up banner in the log,
// and a configuration saved by "Save Conf" and loaded back by a second run.
#include "HostProcess.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestPanelHostCli : public QObject
{
    Q_OBJECT
private:
    using Run = HostProcessRun;
    Run host(const QStringList &args) { return runHost(args); }
    QStringList configArgs(const QString &name) const
    {
        return {QStringLiteral("--config-dir"), m_config.path(), QStringLiteral("--config"), name};
    }
    QString configFile(const QString &name) const
    {
        return m_config.filePath(QStringLiteral("Quillmark/cellKit4after-%1.ini").arg(name));
    }

    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_config.isValid()); }

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

    void savedConfigurationLoadsBack()
    {
        Run r = host(configArgs("prod") + QStringList{"--command", "cellKit", "--idle", "1",
                                                      "--set", "ckImpUseXml=true", "--click",
                                                      "pbSaveSettingsNow"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(QFileInfo::exists(configFile("prod")));
        QCOMPARE(
            QSettings(configFile("prod"), QSettings::IniFormat).value("ckImpUseXml").toString(),
            QStringLiteral("true"));

        r = host(configArgs("prod") + QStringList{"--command", "cellKit", "--idle", "1", "--get",
                                                  "ckImpUseXml", "--log", "-"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.startsWith("ckImpUseXml=true\n"), qPrintable(r.out));
        QVERIFY(r.out.contains("LOAD QSetting FileName : \"" + configFile("prod") + "\""));

        // Another configuration does not see it: the value above came from prod.
        r = host(configArgs("other") +
                 QStringList{"--command", "cellKit", "--idle", "1", "--get", "ckImpUseXml"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("ckImpUseXml=false\n"));
    }
};

QTEST_GUILESS_MAIN(TestPanelHostCli)
#include "tst_panel_hostcli.moc"
