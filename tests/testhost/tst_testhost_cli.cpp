// cellkit-host's project options from the command line: the precompose demo script on a
// sequence in a temporary folder, dumped as JSON; saving, reopening, and the failures.
#include "HostProcess.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Run = HostProcessRun;

Run host(const QStringList &args, const QString &demoDir = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!demoDir.isEmpty())
        env.insert(QStringLiteral("CELLKIT_DEMO_DIR"), demoDir);
    return runHost(args, env);
}

// The JSON that --dump - printed after the other output.
QJsonObject dumpOf(const QString &out)
{
    const int start = out.indexOf(QLatin1String("\n{"));
    return QJsonDocument::fromJson((start < 0 ? out : out.mid(start)).toUtf8()).object();
}

QString demoScript()
{
    return qEnvironmentVariable("CELLKIT_SOURCE_DIR") + "/samples/scripts/precompose-demo.jsx";
}

void touch(const QString &dir, const QStringList &names)
{
    for (const QString &name : names)
        writeFile(QDir(dir).filePath(name), "x");
}

QJsonObject byName(const QJsonArray &items, const QString &name)
{
    for (const QJsonValue &v : items)
        if (v.toObject().value("name").toString() == name)
            return v.toObject();
    return QJsonObject();
}

QStringList layersOf(const QJsonArray &items, const QJsonObject &comp)
{
    QStringList out;
    for (const QJsonValue &l : comp.value("layers").toArray()) {
        const int source = l.toObject().value("source").toInt();
        for (const QJsonValue &v : items)
            if (v.toObject().value("id").toInt() == source)
                out << l.toObject().value("name").toString() + "<-" +
                           v.toObject().value("type").toString();
    }
    return out;
}

} // namespace

class TestTesthostCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void precomposeDemoDump()
    {
        QTemporaryDir dir;
        // A gap at frame 3, a zero frame for B, and a sequence the script does not ask for.
        touch(dir.path(), {"A0001.png", "A0002.png", "A0004.png", "B0000.png", "B0001.png",
                           "BG.png", "C0001.png", "C0002.png"});
        const Run r = host({"--run-script", demoScript(), "--dump", "-"}, dir.path());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.startsWith("result: Demo: 2 layers, Characters: 2 layers\nerror: \n"),
                 qPrintable(r.out.left(200)));
        const QJsonObject dump = dumpOf(r.out);
        QVERIFY(dump.value("dirty").toBool());
        const QJsonArray items = dump.value("items").toArray();
        QStringList walk;
        for (const QJsonValue &v : items)
            walk << v.toObject().value("type").toString() + ":" +
                        v.toObject().value("name").toString();
        QCOMPARE(walk, (QStringList{"folder:Root", "folder:Footage", "footage:A[0001-0004].png",
                                    "footage:B[0000-0001].png", "footage:BG.png", "comp:Demo",
                                    "comp:Characters"}));
        QCOMPARE(byName(items, "BG.png").value("parent"), byName(items, "Footage").value("id"));
        const QJsonObject a = byName(items, "A[0001-0004].png");
        QCOMPARE(a.value("kind").toString(), QStringLiteral("sequence"));
        QCOMPARE(a.value("files").toArray().size(), 4);
        QCOMPARE(a.value("files").toArray().at(2).toString(), QString()); // the missing frame
        QCOMPARE(a.value("duration").toArray(), (QJsonArray{4, 24}));

        const QJsonObject demo = byName(items, "Demo");
        const QJsonObject chars = byName(items, "Characters");
        QCOMPARE(layersOf(items, demo), (QStringList{"Characters<-comp", "BG.png<-footage"}));
        QCOMPARE(layersOf(items, chars),
                 (QStringList{"B[0000-0001].png<-footage", "A[0001-0004].png<-footage"}));
        for (const char *key :
             {"width", "height", "duration", "frameRate", "pixelAspect", "parent"})
            QCOMPARE(chars.value(key), demo.value(key));
    }

    void saveAndReopen()
    {
        QTemporaryDir dir;
        touch(dir.path(), {"A0001.png", "A0002.png", "B0001.png", "B0002.png", "BG.png"});
        const QString saved = dir.filePath("demo project.aep");
        Run r = host({"--run-script", demoScript(), "--save", saved, "--dump", "-"}, dir.path());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QJsonObject first = dumpOf(r.out);
        QVERIFY(!first.value("dirty").toBool());
        QCOMPARE(first.value("path").toString(), saved);

        r = host({"--project", saved, "--dump", "-"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QJsonObject reopened = dumpOf(r.out);
        QCOMPARE(reopened.value("items"), first.value("items"));
        QCOMPARE(reopened.value("path").toString(), saved);
        QVERIFY(!reopened.value("dirty").toBool());
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("save into a file")
            << QStringList{"--save", "@/plain.txt/x.aep"} << 1 << "Cannot save project";
        QTest::newRow("missing project")
            << QStringList{"--project", "@/none.aep"} << 1 << "Cannot open project";
        QTest::newRow("project that is not one")
            << QStringList{"--project", "@/plain.txt"} << 1 << "Cannot read project";
        QTest::newRow("missing script")
            << QStringList{"--run-script", "@/none.jsx"} << 1 << "cannot read script";
        QTest::newRow("dump into a file")
            << QStringList{"--dump", "@/plain.txt/d.json"} << 1 << "cannot write dump";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        touch(dir.path(), {"plain.txt"});
        args.replaceInStrings(QStringLiteral("@"), dir.path());
        const Run r = host(args);
        QTEST(r.code, "code");
        QFETCH(QString, message);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // A script error is the script's output, not a failure of the run.
    void scriptErrorIsOutput()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("bad.jsx"), "var ok = 1;\nthrow new Error('boom');\n"));
        const Run r = host({"--run-script", dir.filePath("bad.jsx")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.startsWith("result: \nerror: Error: boom (line 2)\n"), qPrintable(r.out));
    }
};

QTEST_MAIN(TestTesthostCli)
#include "tst_testhost_cli.moc"
