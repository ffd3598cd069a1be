// cellkit-farm without a scheduler: configurations read as the Create Scene tab reads them, plans
// cut into job files, and reports merged from result files over rounds.
#include "farm/FarmPlan.h"
#include "farm/FarmReport.h"
#include "import/ImportOptionsSettings.h"
#include "scenelist/ConfiguredCreateScene.h"
#include "scenelist/CreateSceneConfiguration.h"
#include "scenelist/gui/CreateSceneWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// Scene from column A, an Ima from column B, three scenes, one library folder.
const char kTable[] = "1,1,1,,,,,,0,000,0,,;1,2,5,,,png,BG,,2,001,0,,";

QString writeProduction(const QTemporaryDir &dir)
{
    writeText(dir.filePath("list.csv"), "h;h\nh;h\nSC010;bg1\nSC020;bg2\nSC030;bg3\n");
    writeText(dir.filePath("lib/bg1.png"), "x");
    const QString config = dir.filePath("cellKit4after-farm.ini");
    QSettings s(config, QSettings::IniFormat);
    s.beginGroup("CreateScene");
    s.setValue("SceneListFile", dir.filePath("list.csv"));
    s.setValue("cb_sourceDir", dir.filePath("lib"));
    s.setValue("TableOptions", QString::fromLatin1(kTable));
    s.endGroup();
    return config;
}

void writeResult(const FarmPlan &plan, const PlanJob &job, const QVector<SceneResult> &scenes,
                 bool started = true)
{
    JobResult result;
    result.started = started;
    result.error = started ? QString() : QStringLiteral("the configuration [x] does not exist");
    result.scenes = scenes;
    QString error;
    QVERIFY2(result.write(plan.absolute(job.result), &error), qPrintable(error));
}

// The table's text without the editor's hidden order keys, which no matching rule reads.
QString withoutOrderKeys(const QString &tableText)
{
    QStringList rows = tableText.split(QLatin1Char(';'));
    for (QString &row : rows) {
        QStringList cells = row.split(QLatin1Char(','));
        if (cells.size() > 9)
            cells[9].clear();
        row = cells.join(QLatin1Char(','));
    }
    return rows.join(QLatin1Char(';'));
}

SceneResult scene(const QString &name, SceneResult::Status status)
{
    SceneResult s;
    s.name = name;
    s.status = status;
    return s;
}

} // namespace

class TestFarm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void configurationReadsAsTheTab_data();
    void configurationReadsAsTheTab();
    void importOptionsClampAsTheWidgets();
    void planCutsTheListIntoJobs();
    void planReadsWorkbooksAsTheTab();
    void reportMergesRounds();
};

void TestFarm::configurationReadsAsTheTab_data()
{
    QTest::addColumn<QVariantMap>("values");
    QTest::newRow("fresh configuration") << QVariantMap();
    QTest::newRow("values the widgets change") << QVariantMap{
        {"CreateScene/SceneListFile", " D:\\prod\\EP%03e\\list.csv "},
        {"CreateScene/DestinationDir", "Select Destination Directory"},
        {"CreateScene/sbEpisodeNumber", "12345"},
        {"CreateScene/cbSceneListType", "7"},
        {"CreateScene/cbCsvSeparator", "1"},
        {"CreateScene/sbCsvStartLine", "-4"},
        {"CreateScene/cbLibraryFolderRecursion", "3"},
        {"CreateScene/cb_sourceDir", "/lib/a,,/lib/%n"},
        {"CreateScene/efEpisodeName", "Pilot"},
        {"CreateScene/listScript", " a.jsx ,, BATCH_b.jsx"},
        {"CreateScene/TableOptions", kTable},
        {"CreateScene/TableOptionsInactive", "1"},
        {"CreateScene/ckUseTemplateFile", "true"},
        {"CreateScene/FlashTemplateFile", "/t/EP%02e.aep"},
        // Written before the group existed: read at the top level.
        {"cbTarget", "2"},
        {"CreateScene/ckImpMoveFilesToRelativePath", "true"},
    };
}

// The farm plans the scenes the panel would show: whatever the configuration holds, the values
// read without widgets are those the tab hands to the same core after loading it.
void TestFarm::configurationReadsAsTheTab()
{
    QFETCH(QVariantMap, values);
    QTemporaryDir dir;
    QSettings settings(dir.filePath("c.ini"), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();

    CreateSceneWidget tab;
    tab.loadSettings(settings);
    const SceneListOptions shown = tab.optionsSnapshot();
    const CreateSceneConfiguration read = CreateSceneConfiguration::read(settings);
    const SceneListOptions &o = read.list;
    QCOMPARE(withoutOrderKeys(o.table.saveToText()), withoutOrderKeys(shown.table.saveToText()));
    QCOMPARE(o.table.inactiveRowsText(), shown.table.inactiveRowsText());
    QCOMPARE(o.sceneListType, shown.sceneListType);
    QCOMPARE(o.sceneListPath, shown.sceneListPath);
    QCOMPARE(o.inputExtension, shown.inputExtension);
    QCOMPARE(o.target, shown.target);
    QCOMPARE(o.destinationDir, shown.destinationDir);
    QCOMPARE(o.libraryFolders, shown.libraryFolders);
    QCOMPARE(o.libraryRecursion, shown.libraryRecursion);
    QCOMPARE(o.csvStartLine, shown.csvStartLine);
    QCOMPARE(o.csvSeparator, shown.csvSeparator);
    QCOMPARE(o.csvSheetName, shown.csvSheetName);
    QCOMPARE(o.splitCellOnSpace, shown.splitCellOnSpace);
    QCOMPARE(o.skipComments, shown.skipComments);
    QCOMPARE(o.productionName, shown.productionName);
    QCOMPARE(o.production.episode, shown.production.episode);
    QCOMPARE(o.production.episodeName, shown.production.episodeName);
    QCOMPARE(o.production.job, shown.production.job);
    QCOMPARE(o.harmony.server, shown.harmony.server);
    // And a scene run asks a job what it asks the tab.
    const ConfiguredCreateScene job(read, dir.path());
    QCOMPARE(job.scripts(), tab.scripts());
    QCOMPARE(job.templatePath(), tab.templatePath());
    QCOMPARE(job.useTemplate(), tab.useTemplate());
    QCOMPARE(job.useLibraryFiles(), tab.useLibraryFiles());
    QCOMPARE(job.moveFilesToRelativePath(), tab.moveFilesToRelativePath());
    QCOMPARE(job.collectFiles(), tab.collectFiles());
    QCOMPARE(job.libraryDepth(), tab.libraryDepth());
    QCOMPARE(job.destinationDir(), tab.destinationDir());
    QCOMPARE(job.inputDirectory(), tab.inputDirectory());
    QCOMPARE(job.inputExtension(), tab.inputExtension());
    QCOMPARE(job.productionValues().expand("%e%n%x%j", "a"),
             tab.productionValues().expand("%e%n%x%j", "a"));
}

void TestFarm::importOptionsClampAsTheWidgets()
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("c.ini"), QSettings::IniFormat);
    settings.setValue("sbImpCompWidth", 20000);
    settings.setValue("sbImpCompFrameRate", 0);
    settings.setValue("cbImpPrecomp", 9);
    const ImportOptions o = readImportOptions(settings);
    QCOMPARE(o.compWidth, 10000);
    QCOMPARE(o.compHeight, 720);
    QCOMPARE(o.compFrameRate, 1);
    QCOMPARE(o.precomp, -1);
    QVERIFY(o.newProject);
}

void TestFarm::planCutsTheListIntoJobs()
{
    QTemporaryDir dir;
    PlanRequest request;
    request.configuration = writeProduction(dir);
    request.perJob = 2;
    request.folder = dir.filePath("plan");
    FarmPlan plan;
    QString error;
    QVERIFY2(FarmPlan::create(request, &plan, &error), qPrintable(error));
    QCOMPARE(plan.scenes, QStringList({"SC010", "SC020", "SC030"}));
    QCOMPARE(plan.rounds.size(), 1);
    QCOMPARE(plan.rounds[0].jobs.size(), 2);
    QCOMPARE(plan.rounds[0].jobs[1].scenes, QStringList{"SC030"});

    // The job file names its result relative to itself; the host resolves it from there.
    QFile file(plan.absolute(plan.rounds[0].jobs[1].file));
    QVERIFY(file.open(QIODevice::ReadOnly));
    FarmJob job;
    QVERIFY2(FarmJob::fromJson(file.readAll(), QFileInfo(file).absolutePath(), &job, &error),
             qPrintable(error));
    QCOMPARE(job.result, plan.absolute("results/job-0002.json"));
    QCOMPARE(job.configuration, request.configuration);
    QCOMPARE(job.scenes, QStringList{"SC030"});

    // A folder that holds a plan is not planned over; a scene the list lacks is named.
    QVERIFY(!FarmPlan::create(request, &plan, &error));
    QVERIFY2(error.contains("already holds a plan"), qPrintable(error));
    request.folder = dir.filePath("plan2");
    request.scenes = QStringList{"SC030", "SC404"};
    QVERIFY(!FarmPlan::create(request, &plan, &error));
    QCOMPARE(error, QStringLiteral("not in the scene list: SC404"));
}

// The sheet of a workbook list is read as the tab reads it: the same scenes as the same list
// saved as CSV (the empty record between SC020 and SC030 starts no scene).
void TestFarm::planReadsWorkbooksAsTheTab()
{
    QTemporaryDir dir;
    const QString data = qEnvironmentVariable("CELLKIT_SOURCE_DIR") + "/tests/data/xlsx/";
    QStringList names[2];
    const QString lists[2] = {data + "scene-list.xlsx", data + "scene-list.csv"};
    for (int i = 0; i < 2; ++i) {
        PlanRequest request;
        request.configuration = writeProduction(dir);
        request.sceneList = lists[i];
        QString error;
        QVERIFY2(FarmPlan::sceneNames(request, &names[i], &error), qPrintable(error));
    }
    QCOMPARE(names[0], QStringList({"SC010", "SC020", "SC030", "SC040"}));
    QCOMPARE(names[0], names[1]);
}

void TestFarm::reportMergesRounds()
{
    QTemporaryDir dir;
    PlanRequest request;
    request.configuration = writeProduction(dir);
    request.folder = dir.filePath("plan");
    FarmPlan plan;
    QString error;
    QVERIFY2(FarmPlan::create(request, &plan, &error), qPrintable(error)); // one scene per job
    writeResult(plan, plan.rounds[0].jobs[0], {scene("SC010", SceneResult::Done)});
    writeResult(plan, plan.rounds[0].jobs[1], {}, false); // could not start
    // jobs[2] (SC030) left no result: killed or cancelled.
    QVector<SceneReport> report = reportPlan(plan);
    QCOMPARE(report[0].status, SceneReport::Done);
    QCOMPARE(report[1].status, SceneReport::Failed);
    QCOMPARE(report[1].messages.last(), QStringLiteral("the configuration [x] does not exist"));
    QCOMPARE(report[2].status, SceneReport::NeverReported);
    QCOMPARE(scenesNotDone(report), QStringList({"SC020", "SC030"}));

    QVERIFY(plan.addRound(scenesNotDone(report), &error) && plan.save(&error));
    QVERIFY(FarmPlan::load(request.folder, &plan, &error));
    QCOMPARE(plan.rounds.size(), 2);
    QCOMPARE(plan.rounds[1].jobs[0].file, QStringLiteral("jobs/job-0004.json"));
    writeResult(plan, plan.rounds[1].jobs[0], {scene("SC020", SceneResult::Done)});
    report = reportPlan(plan);
    // A scene done in round 1 stays done; round 2's silence on SC030 leaves it never reported.
    QCOMPARE(scenesNotDone(report), QStringList{"SC030"});
    QCOMPARE(report[2].job, QStringLiteral("jobs/job-0005.json"));
}

QTEST_MAIN(TestFarm)
#include "tst_farm.moc"
