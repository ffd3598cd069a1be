// cellkit-host driving the launcher and the dialogs headless, as a user's clicks would: boxes
// nobody is there to answer, launcher buttons built from the Create Scene script list, and a
// script run from its button.
#include "HostProcess.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The dumped project that follows the launcher labels on standard output.
QJsonObject dumpedProject(const QString &out)
{
    return QJsonDocument::fromJson(out.mid(out.indexOf(QLatin1Char('{'))).toUtf8()).object();
}

bool hasItem(const QJsonObject &project, const QString &name)
{
    for (const QJsonValue &item : project["items"].toArray())
        if (item.toObject()["name"].toString() == name)
            return true;
    return false;
}

} // namespace

class TestCreateSceneHostCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_scripts;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid() && m_scripts.isValid());
        QFile binary(m_scripts.filePath("mark.JSXBIN"));
        QVERIFY(binary.open(QIODevice::WriteOnly));
        binary.write("app.project.items.addFolder('binary ran');");
        QVERIFY(
            writeFile(m_scripts.filePath("broken.jsx"), "var x = 1;\nthrow new Error('nope');"));
    }

    // This hung for ever: the box waited for a click that never came.
    void unansweredBoxTakesItsDefault()
    {
        QTemporaryDir empty;
        const HostProcessRun r =
            runHost({"--config-dir", m_config.path(), "--import", empty.path()});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("dialog: Warning: Select Scenes to import first"),
                 qPrintable(r.err));
    }

    // Buttons from a script list given on the command line, as a restored setting gives them
    // (no Apply Changes); the sample script finds its images beside its own file ($.fileName),
    // here copied into a folder whose name needs escaping in a script text.
    void launcher_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("refuseScripts");
        QTest::addColumn<QString>("made");
        QTest::addColumn<int>("runs");
        QTest::newRow("sample script") << "precompose-demo" << false << "Characters" << 1;
        QTest::newRow("binary in capitals") << "mark" << false << "binary ran" << 1;
        // The script suite refused: the press ends without effect and the host lives on.
        QTest::newRow("suite refused") << "precompose-demo" << true << "" << 0;
        QTest::newRow("missing file") << "clip.final" << false << "" << 0;
        QTest::newRow("script error") << "broken" << false << "" << 1;
    }
    void launcher()
    {
        QFETCH(QString, label);
        QFETCH(bool, refuseScripts);
        QFETCH(QString, made);
        QFETCH(int, runs);
        const QString samples = qEnvironmentVariable("CELLKIT_SOURCE_DIR") + "/samples/scripts";
        const QString folder = m_scripts.filePath(QStringLiteral("it's \\ é日本"));
        QVERIFY(QDir().mkpath(folder + "/precompose-demo"));
        QFile::copy(samples + "/precompose-demo.jsx", folder + "/precompose-demo.jsx");
        for (const QString &name : QDir(samples + "/precompose-demo").entryList(QDir::Files))
            QFile::copy(samples + "/precompose-demo/" + name, folder + "/precompose-demo/" + name);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("CELLKIT_DEMO_DIR");
        QStringList args{"--config-dir", m_config.path()};
        if (refuseScripts)
            args << "--refuse-suite" << QString("AEGP Utility Suite");
        const QString scripts = folder + "/precompose-demo.jsx, ," + m_scripts.path() +
                                "/mark.JSXBIN,/missing/clip.final.jsx," + m_scripts.path() +
                                "/broken.jsx";
        const QString log = m_scripts.filePath("log.txt");
        args << QString("--command|cellKit|--set|lwScript=" + scripts + "|--launchers|-|--launch|" +
                        label + "|--dump|-|--log|" + log)
                    .split('|');
        const HostProcessRun r = runHost(args, env);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("precompose-demo\nmark\nclip.final\nbroken\n{"),
                 qPrintable(r.out));
        const QJsonObject project = dumpedProject(r.out);
        QCOMPARE(project["host"].toObject()["scripts"].toArray().size(), runs);
        if (!made.isEmpty())
            QVERIFY(hasItem(project, made));
        QCOMPARE(r.err.contains("dialog: Warning: Script [/missing/clip.final.jsx] Non trouvé"),
                 label == "clip.final");
        QVERIFY(!hasItem(project, "Characters") || !refuseScripts);
        QCOMPARE(QString::fromUtf8(readFile(log))
                     .contains("-ERR- Script [" + m_scripts.path() +
                               "/broken.jsx]: Error: nope (line 2)"),
                 label == "broken");
    }
};

QTEST_MAIN(TestCreateSceneHostCli)
#include "tst_createscene_hostcli.moc"
