// The job mode of the real module in the test host: the host started with CELLKIT_JOB and
// nothing else runs the job at its first idle call and ends when the plug-in quits it.
#include "HostProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct JobRun
{
    int code = -1; // -1: the host did not end by itself
    QString err;
};

JobRun runJob(const QString &jobFile)
{
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CELLKIT_JOB"), jobFile);
    host.setProcessEnvironment(env);
    host.start(qEnvironmentVariable("CELLKIT_TEST_HOST"), QStringList());
    JobRun run;
    if (host.waitForFinished(60000) && host.exitStatus() == QProcess::NormalExit)
        run.code = host.exitCode();
    else
        host.kill();
    run.err = QString::fromUtf8(host.readAllStandardError());
    return run;
}

QJsonObject readJson(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writeJson(const QString &path, const QJsonObject &object)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(object).toJson());
}

QJsonObject sceneOf(const QJsonObject &result, const QString &name)
{
    for (const QJsonValue &v : result.value("scenes").toArray())
        if (v.toObject().value("name").toString() == name)
            return v.toObject();
    return {};
}

} // namespace

class TestFarmJob : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void createJobReportsEachScene();
    void importJobSavesEachScene();
    void questionsTakeTheirDefault();
    void jobThatCannotStart_data();
    void jobThatCannotStart();

private:
    QJsonObject job(const QStringList &scenes) const;
    QTemporaryDir m_dir;
    QString m_config;
};

// The sample production, and a configuration saved by the panel that creates its scenes.
void TestFarmJob::initTestCase()
{
    const QString production = m_dir.filePath("prod");
    const QString configDir = m_dir.filePath("cfg");
    QFile table(production + "/matching-table.txt");
    HostProcessRun made = runHost({"--make-production", production});
    QCOMPARE(made.code, 0);
    QVERIFY(table.open(QIODevice::ReadOnly));
    const HostProcessRun saved = runHost(
        {"--config-dir", configDir, "--config", "farm", "--command", "cellKit", "--table",
         QString::fromUtf8(table.readAll()), "--set",
         "pb_selectSceneList=" + production + "/scene-list.csv", "--set",
         "lwLibDir=" + production + "/library", "--set", "cbLibraryFolderRecursion=1", "--set",
         "cbTarget=2", "--set", "pbSelectDestinationDir=" + m_dir.filePath("out")});
    QCOMPARE(saved.code, 0);
    m_config = configDir + "/Quillmark/cellKit4after-farm.ini";
    QVERIFY(QFile::exists(m_config));
}

QJsonObject TestFarmJob::job(const QStringList &scenes) const
{
    return QJsonObject{{"format", "cellkit-job"},
                       {"version", 1},
                       {"action", "create"},
                       {"configuration", m_config},
                       {"scenes", QJsonArray::fromStringList(scenes)},
                       {"result", "results/job.json"}};
}

void TestFarmJob::createJobReportsEachScene()
{
    const QString jobFile = m_dir.filePath("create.json");
    writeJson(jobFile, job({"SC030", "SC404"}));
    const JobRun run = runJob(jobFile);
    QCOMPARE(run.code, 1); // not every scene done: SC404 is in no list
    const QJsonObject result = readJson(m_dir.filePath("results/job.json"));
    QVERIFY(result.value("started").toBool());
    const QJsonObject sc030 = sceneOf(result, "SC030");
    QCOMPARE(sc030.value("status").toString(), QStringLiteral("done"));
    QCOMPARE(sc030.value("project").toString(), m_dir.filePath("out/SC030/SC030.aep"));
    QVERIFY(QFile::exists(m_dir.filePath("out/SC030/SC030.aep")));
    QCOMPARE(sc030.value("missing").toArray(), QJsonArray{"zed.png"});
    // The run had the elements as the tree names them: its warning names the asset left out.
    const QJsonArray messages = sc030.value("messages").toArray();
    QVERIFY2(std::any_of(messages.begin(), messages.end(),
                         [](const QJsonValue &m) {
                             return m.toString().startsWith("-WAR-") &&
                                    m.toString().contains("zed (zed.png)");
                         }),
             qPrintable(QJsonDocument(messages).toJson()));
    QCOMPARE(sceneOf(result, "SC404").value("status").toString(), QStringLiteral("skipped"));
    // The job's lines reach the task's output as the run goes.
    QVERIFY2(run.err.contains(" - File " + m_dir.filePath("out/SC030/SC030.aep") + " Created"),
             qPrintable(run.err));
}

// Scene folders of an input folder, one project each; a folder that is not there is skipped.
void TestFarmJob::importJobSavesEachScene()
{
    const QString scenes = m_dir.filePath("scenes");
    QCOMPARE(runHost({"--make-samples", scenes}).code, 0);
    QJsonObject object = job({"SC01_alpha", "SC99_gone"});
    object["action"] = "import";
    object["inputRoot"] = scenes;
    object["result"] = "results/import.json";
    const QString jobFile = m_dir.filePath("import.json");
    writeJson(jobFile, object);
    QCOMPARE(runJob(jobFile).code, 1);
    const QJsonObject result = readJson(m_dir.filePath("results/import.json"));
    const QJsonObject alpha = sceneOf(result, "SC01_alpha");
    QCOMPARE(alpha.value("status").toString(), QStringLiteral("done"));
    QCOMPARE(alpha.value("project").toString(), scenes + "/SC01_alpha/SC01_alpha.aep");
    QCOMPARE(sceneOf(result, "SC99_gone").value("status").toString(), QStringLiteral("skipped"));
}

// A template that is not there stops the run with a warning box: the job answers it, logs it,
// and reports the scene as not reached.
void TestFarmJob::questionsTakeTheirDefault()
{
    const QString config = m_dir.filePath("template.ini");
    QFile::remove(config);
    QVERIFY(QFile::copy(m_config, config));
    {
        QSettings settings(config, QSettings::IniFormat);
        settings.setValue("CreateScene/ckUseTemplateFile", true);
        settings.setValue("CreateScene/FlashTemplateFile", m_dir.filePath("none.aep"));
    }
    QJsonObject object = job({"SC010"});
    object["configuration"] = config;
    object["result"] = "results/template.json";
    const QString jobFile = m_dir.filePath("template.json");
    writeJson(jobFile, object);
    QCOMPARE(runJob(jobFile).code, 1);
    const QJsonObject result = readJson(m_dir.filePath("results/template.json"));
    const QString asked = QStringLiteral("-WAR- Job: question \"Warning\" [Template File [%1] not "
                                         "found] answered OK")
                              .arg(m_dir.filePath("none.aep"));
    QCOMPARE(result.value("messages").toArray(), QJsonArray{asked});
    const QJsonObject sc010 = sceneOf(result, "SC010");
    QCOMPARE(sc010.value("status").toString(), QStringLiteral("failed"));
    QCOMPARE(sc010.value("messages").toArray(),
             QJsonArray{"-ERR- Job: the run did not reach the scene"});
}

void TestFarmJob::jobThatCannotStart_data()
{
    QTest::addColumn<QByteArray>("jobText");
    QTest::addColumn<QString>("resultFile"); // relative to the test folder
    QTest::addColumn<QString>("why");
    QTest::newRow("job file not JSON")
        << QByteArray("{\"format\": \"cellkit-job\",") << "broken.result.json"
        << "is not valid: not JSON";
    QTest::newRow("configuration missing")
        << QByteArray(R"({"format": "cellkit-job", "version": 1, "action": "create",
                         "configuration": "gone.ini", "scenes": ["SC010"],
                         "result": "results/gone.json"})")
        << "results/gone.json"
        << "the configuration [" + m_dir.filePath("gone.ini") + "] does not exist";
}

// The host still ends, with status 2, and a result says why, where the farm's report looks.
void TestFarmJob::jobThatCannotStart()
{
    QFETCH(QByteArray, jobText);
    QFETCH(QString, resultFile);
    QFETCH(QString, why);
    const QString jobFile = m_dir.filePath("broken.json");
    QFile file(jobFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(jobText);
    file.close();
    QCOMPARE(runJob(jobFile).code, 2);
    const QJsonObject result = readJson(m_dir.filePath(resultFile));
    QVERIFY(!result.isEmpty());
    QCOMPARE(result.value("started").toBool(true), false);
    QVERIFY2(result.value("error").toString().contains(why),
             qPrintable(result.value("error").toString()));
}

QTEST_MAIN(TestFarmJob)
#include "tst_farm_job.moc"
