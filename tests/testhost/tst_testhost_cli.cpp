// cellkit-host's project options from the command line: the precompose demo script on a
// sequence in a temporary folder, dumped as JSON, saved and reopened; and the failures.
#include "HostProcess.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The JSON that --dump - printed after the other output.
QJsonObject dumpOf(const QString &out)
{
    const int start = out.indexOf(QLatin1String("\n{"));
    return QJsonDocument::fromJson((start < 0 ? out : out.mid(start)).toUtf8()).object();
}

// "type:name" of every item, in project order.
QStringList walk(const QJsonObject &dump)
{
    QStringList names;
    for (const QJsonValue &v : dump["items"].toArray())
        names << v["type"].toString() + ":" + v["name"].toString();
    return names;
}

} // namespace

class TestTesthostCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The demo script on a gap at frame 3 and a zero frame for B; saved, the project reopens
    // with the same items and is no longer modified.
    void demoDumpSaveAndReopen()
    {
        QTemporaryDir dir;
        for (const char *name : {"A0001.png", "A0002.png", "A0004.png", "B0000.png", "B0001.png",
                                 "BG.png", "C0001.png"})
            QVERIFY(writeFile(dir.filePath(name), "x"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("CELLKIT_DEMO_DIR", dir.path());
        const QString demo =
            qEnvironmentVariable("CELLKIT_SOURCE_DIR") + "/samples/scripts/precompose-demo.jsx";
        const QString saved = dir.filePath("demo project.aep");
        HostProcessRun r = runHost({"--run-script", demo, "--save", saved, "--dump", "-"}, env);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.startsWith("result: Demo: 2 layers, Characters: 2 layers\nerror: \n"),
                 qPrintable(r.out.left(200)));
        const QJsonObject first = dumpOf(r.out);
        QCOMPARE(walk(first), (QStringList{"folder:Root", "folder:Footage",
                                           "footage:A[0001-0004].png", "footage:B[0000-0001].png",
                                           "footage:BG.png", "comp:Demo", "comp:Characters"}));
        QVERIFY(!first["dirty"].toBool());
        QCOMPARE(first["path"].toString(), saved);

        r = runHost({"--project", saved, "--dump", "-"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(dumpOf(r.out)["items"], first["items"]);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("save into a file")
            << QStringList{"--save", "@/plain.txt/x.aep"} << "Cannot save project";
        QTest::newRow("missing project")
            << QStringList{"--project", "@/none.aep"} << "Cannot open project";
        QTest::newRow("project that is not one")
            << QStringList{"--project", "@/plain.txt"} << "Cannot read project";
        QTest::newRow("dump into a file")
            << QStringList{"--dump", "@/plain.txt/d.json"} << "cannot write dump";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("plain.txt"), "x"));
        const HostProcessRun r = runHost(args.replaceInStrings("@", dir.path()));
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // A script error is the script's output, not a failure of the run.
    void scriptErrorIsOutput()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("bad.jsx"), "var ok = 1;\nthrow new Error('boom');\n"));
        const HostProcessRun r = runHost({"--run-script", dir.filePath("bad.jsx")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("result: \nerror: Error: boom (line 2)\n"), qPrintable(r.out));
    }
};

QTEST_MAIN(TestTesthostCli)
#include "tst_testhost_cli.moc"
