// The Create Scene tab end to end through cellkit-host, as a user's clicks would drive it: a
// scene list is loaded with "Load Scene List", scenes are selected in the tree, the export
// buttons and "Create AE" are pressed and the host gets its idle call. The checks read the
// tree the host prints, the files the buttons wrote and the saved projects.
#include "HostProcess.h"
#include "TestFiles.h"

#include <KZip>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Scene from column A, Movie from B, Ima (folder BG) from C, Asset (folder CHARS) from D.
const QString kTable = "1,1,1,,,,,,0,000,0,,;1,2,3,,,mov,,,0,001,1,,;"
                       "1,3,5,,,png,BG,,2,002,1,,;1,4,6,,,png,CHARS,,1,003,1,,";

// "SC01[0]: SC01=1 ann=0[0,3]": per scene its red columns, per element its name, Fok and red
// columns.
QString treeSummary(const QString &json)
{
    const auto red = [](const QJsonObject &row) {
        QStringList columns;
        for (const QJsonValue &c : row["red"].toArray())
            columns << QString::number(c.toInt());
        return columns.isEmpty() ? QString() : "[" + columns.join(',') + "]";
    };
    QStringList scenes;
    for (const QJsonValue &s : QJsonDocument::fromJson(json.toUtf8())["scenes"].toArray()) {
        const QJsonObject scene = s.toObject();
        QString text = scene["cells"][0].toString() + red(scene) + ":";
        for (const QJsonValue &e : scene["elements"].toArray()) {
            const QJsonObject element = e.toObject();
            text += " " + element["cells"][0].toString() + "=" + element["cells"][9].toString() +
                    red(element);
        }
        scenes << text;
    }
    return scenes.join("; ");
}

// The saved project's composition: its length in seconds and its layers, top first, each as
// "first file@project folder".
QString composition(const QString &project, const QString &name)
{
    QHash<int, QJsonObject> items;
    for (const QJsonValue &v : QJsonDocument::fromJson(readFile(project))["items"].toArray())
        items.insert(v["id"].toInt(), v.toObject());
    for (const QJsonObject &item : qAsConst(items)) {
        if (item["type"] != "comp" || item["name"] != name)
            continue;
        const QJsonArray duration = item["duration"].toArray();
        QStringList text{QString::number(duration[0].toDouble() / duration[1].toDouble())};
        for (const QJsonValue &layer : item["layers"].toArray()) {
            const QJsonObject source = items.value(layer["source"].toInt());
            text << source["files"][0].toString() + "@" +
                        items.value(source["parent"].toInt())["name"].toString();
        }
        return text.join(' ');
    }
    return "no composition " + name;
}

} // namespace

class TestCreateSceneRun : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_work = nullptr;
    QString path(const QString &name) const { return m_work->filePath(name); }

    HostProcessRun panelRun(const QStringList &actions)
    {
        // Target "Autodesk 3DsMax": no status check of the scenes against the output folder.
        return runHost(QStringList{"--config-dir", path("config"), "--command", "cellKit", "--set",
                                   "cbTarget=1"} +
                       actions);
    }

private Q_SLOTS:
    void init() { m_work = new QTemporaryDir; }
    void cleanup() { delete std::exchange(m_work, nullptr); }

    // Found and missing rows in the tree; the exports of the buttons; Create AE for SC01 only:
    // its movie sets the length, Movie and Ima are copied into Footage, the Asset is not and
    // the missing one is left out.
    void loadExportAndCreate()
    {
        const QString lib = path("lib");
        QVERIFY(writeFile(lib + "/movies/SC01.mov", quickTimeMovie(3)));
        QVERIFY(writeImage(lib + "/bg/BG01.png") && writeImage(lib + "/chars/bob.png"));
        QVERIFY(QDir().mkpath(path("out")));
        QVERIFY(writeFile(path("list.csv"), "Scene;Movie;BG;Characters\n;;;\n"
                                            "SC01;SC01;BG01;\"bob\nann\"\nSC02;;BG02;bob\n"));
        const HostProcessRun r = panelRun({"--table",  kTable,
                                           "--set",    "pb_selectSceneList=" + path("list.csv"),
                                           "--set",    "lwLibDir=" + lib,
                                           "--set",    "cbLibraryFolderRecursion=3",
                                           "--set",    "pbSelectDestinationDir=" + path("out"),
                                           "--set",    "ckImpMoveFilesToRelativePath=true",
                                           "--set",    "efProductionName=Prod",
                                           "--set",    "sbEpisodeNumber=3",
                                           "--click",  "pbLoadSceneList",
                                           "--tree",   "-",
                                           "--select", "treeWidget=SC01,SC02",
                                           "--click",  "pbSlExport",
                                           "--click",  "pbCreateLog",
                                           "--select", "treeWidget=SC01",
                                           "--click",  "pbCreateAE",
                                           "--idle",   "1"});
        QCOMPARE(r.code, 0);
        QCOMPARE(treeSummary(r.out),
                 QString("SC01[0]: SC01=1 BG01=1 bob=1 ann=0[0,3]; SC02[0]: BG02=0[0,3] bob=1"));
        QVERIFY(r.out.contains("\"" + lib + "/chars/bob.png\""));

        QCOMPARE(readFile(path("out/Prod_03.csv")), QByteArray("0SC01\n0SC02\n"));
        QCOMPARE(readFile(path("out/Prod_03.time")),
                 QByteArray("0SC01;0SC01-sc;0;\n0SC02;0SC02-sc;0;\n"));
        QCOMPARE(readFile(path("out/MissingFiles.log")),
                 QByteArray("SC : ====== SC01 ======\r\nKO : ann => ann.png\r\n"
                            "SC : ====== SC02 ======\r\nKO : BG02 => BG02.png\r\n"));

        const QString scene = path("out/SC01");
        QCOMPARE(composition(scene + "/SC01.aep", "SC01"),
                 QString("3 %1/chars/bob.png@CHARS %2/Footage/BG01.png@BG "
                         "%2/Footage/SC01.mov@ELEMENTS")
                     .arg(lib, scene));
        QVERIFY(!QFileInfo::exists(scene + "/Footage/bob.png"));
        QVERIFY(!QFileInfo::exists(path("out/SC02")));
    }

    // Create AE names every element it leaves out (import refused by the host, not found) in
    // the scene's lines and counts them; a scene whose name would lead out of the output
    // folder is refused and the next one is still made.
    void createNamesWhatItLeavesOut()
    {
        const QString lib = path("lib");
        QVERIFY(writeImage(lib + "/bg/BG01.png") && writeImage(lib + "/chars/bob.png"));
        QVERIFY(writeFile(path("list.csv"), "Scene;Movie;BG;Characters\n;;;\n../../esc;;BG01;\n"
                                            "SC01;;BG01;\"bob\nann\"\n"));
        const QString out = path("a/b/c/out");
        const HostProcessRun r = panelRun({"--table",     kTable,
                                           "--set",       "pb_selectSceneList=" + path("list.csv"),
                                           "--set",       "lwLibDir=" + lib,
                                           "--set",       "cbLibraryFolderRecursion=3",
                                           "--set",       "pbSelectDestinationDir=" + out,
                                           "--click",     "pbLoadSceneList",
                                           "--select",    "treeWidget=../../esc,SC01",
                                           "--fail-call", "AEGP_NewFootage=1",
                                           "--click",     "pbCreateAE",
                                           "--idle",      "1",
                                           "--log",       "-"});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n');
        QCOMPARE(lines
                     .filter("-ERR- CreateScene: the scene [../../esc] is not created, its name "
                             "cannot be a folder name: it holds a path separator")
                     .size(),
                 1);
        QVERIFY(!QFileInfo::exists(path("a/esc")) && !QFileInfo::exists(path("a/esc.aep")));
        for (const QString file : {"/bg/BG01.png", "/chars/bob.png"})
            QCOMPARE(lines
                         .filter("-ERR- CreateScene [SC01]: the file [" + lib + file +
                                 "] could not be imported")
                         .size(),
                     1);
        QCOMPARE(
            lines.filter("-WAR- CreateScene [SC01]: ann (ann.png) was not found; left out").size(),
            1);
        QCOMPARE(
            lines.filter(" - File " + out + "/SC01/SC01.aep Created; 3 element(s) left out").size(),
            1);
    }

    // Two library files named alike (two Folder rows) get a copy each, the same source used
    // twice is copied once, a copy whose source changed is replaced on the next run, and a
    // copy that cannot be made is reported and the layer uses the library file.
    void footageCopiesStayApartAndFresh()
    {
        QVERIFY(writeImage(path("lib/bg/layer.png"), {8, 6}) &&
                writeImage(path("lib/fx/layer.png"), {4, 4}));
        QVERIFY(writeFile(path("list.csv"), "Scene;A;B;C\nSC01;bg;fx;bg\n"));
        const QStringList create{
            "--table",
            "1,1,1,,,,,,0,000,0,,;1,2,5,,,png,BG,,2,001,2,,;1,3,5,,,png,FX,,2,002,2,,;"
            "1,4,5,,,png,BG,,2,003,2,,",
            "--set",
            "pb_selectSceneList=" + path("list.csv"),
            "--set",
            "lwLibDir=" + path("lib"),
            "--set",
            "cbLibraryFolderRecursion=3",
            "--set",
            "sbCsvStartLine=1",
            "--set",
            "pbSelectDestinationDir=" + path("out"),
            "--set",
            "ckImpMoveFilesToRelativePath=true",
            "--click",
            "pbLoadSceneList",
            "--select",
            "treeWidget=SC01",
            "--click",
            "pbCreateAE",
            "--idle",
            "1",
            "--log",
            "-"};
        QCOMPARE(panelRun(create).code, 0);
        const QString footage = path("out/SC01/Footage/");
        const QString bg = footage + "layer.png@BG";
        QCOMPARE(composition(path("out/SC01/SC01.aep"), "SC01"),
                 QStringList({"1", bg, footage + "2/layer.png@FX", bg}).join(' '));
        QCOMPARE(readFile(footage + "2/layer.png"), readFile(path("lib/fx/layer.png")));

        QVERIFY(writeImage(path("lib/bg/layer.png"), {5, 5}));
        QVERIFY(writeFile(footage + "3")); // a file where the third copy's folder would go
        QVERIFY(writeImage(path("lib/gx/layer.png")));
        QVERIFY(writeFile(path("list.csv"), "Scene;A;B;C\nSC01;bg;fx;gx\n"));
        const HostProcessRun again = panelRun(create);
        QCOMPARE(again.code, 0);
        QCOMPARE(readFile(footage + "layer.png"), readFile(path("lib/bg/layer.png")));
        QCOMPARE(composition(path("out/SC01/SC01.aep"), "SC01"),
                 QStringList({"1", path("lib/gx/layer.png@BG"), footage + "2/layer.png@FX", bg})
                     .join(' '));
        QVERIFY2(again.out.contains("-ERR- CopyToFootage: cannot copy [" +
                                    path("lib/gx/layer.png") + "] into [" + footage.chopped(1) +
                                    "]: cannot create the folder " + footage + "3"),
                 qPrintable(again.out));
    }

    // "Collect Files in a Folder and Zip it": SC030 of the sample production is collected and
    // zipped; unzipped elsewhere, with the library and the output folder gone, its project
    // opens and draws the background and the character, nothing missing. The missing
    // character is listed in the zip's MISSING.txt.
    void collectedSceneOpensElsewhere()
    {
        QCOMPARE(runHost({"--headless", "--make-production", path("prod")}).code, 0);
        const HostProcessRun r =
            panelRun({"--table",  QString(readFile(path("prod/matching-table.txt"))),
                      "--set",    "pb_selectSceneList=" + path("prod/scene-list.csv"),
                      "--set",    "lwLibDir=" + path("prod/library"),
                      "--set",    "cbLibraryFolderRecursion=1",
                      "--set",    "pbSelectDestinationDir=" + path("out"),
                      "--set",    "cbTarget=2",
                      "--set",    "sbImpCompWidth=640",
                      "--set",    "sbImpCompHeight=360",
                      "--click",  "pbLoadSceneList",
                      "--select", "treeWidget=SC030",
                      "--click",  "pbCreateAE",
                      "--idle",   "1",
                      "--log",    "-"});
        QCOMPARE(r.code, 0);
        const QString zipPath = path("out/SC030.zip");
        QVERIFY2(r.out.contains(" - File " + path("out/SC030/SC030.aep") +
                                " Created; 1 element(s) left out; 2 file(s), "),
                 qPrintable(r.out));
        QVERIFY(r.out.contains(" bytes collected in " + zipPath + "\n"));

        KZip zip(zipPath);
        QVERIFY(zip.open(QIODevice::ReadOnly));
        const auto *missing =
            dynamic_cast<const KArchiveFile *>(zip.directory()->entry("SC030/MISSING.txt"));
        QVERIFY(missing);
        QCOMPARE(missing->data(),
                 QByteArray("SC : ====== SC030 ======\r\nKO : zed => zed.png\r\n"));
        QVERIFY(zip.directory()->copyTo(path("elsewhere")));
        QVERIFY(QDir(path("prod/library")).removeRecursively() &&
                QDir(path("out")).removeRecursively());

        const HostProcessRun opened =
            runHost({"--headless", "--project", path("elsewhere/SC030/SC030.aep"), "--render", "-",
                     "0", path("frame.png")});
        QCOMPARE(opened.code, 0);
        QVERIFY2(!opened.out.contains("missing"), qPrintable(opened.out));
        const QImage frame(path("frame.png"));
        QCOMPARE(frame.pixelColor(10, 10), QColor(240, 170, 110)); // the sky of BG_SC030
        QCOMPARE(frame.pixelColor(420, 200), QColor(60, 90, 220)); // ann
    }

    // A folder of movies: one scene per movie, as long as its movie (which is not a layer of
    // it); pressing Create AE
    // with nothing selected only says so.
    void movieFolder()
    {
        // The scene is named after SC07.MOV and its movie asked for as "SC07.mov".
        QVERIFY(writeFile(path("movies/SC07.MOV"), quickTimeMovie(4)) &&
                writeFile(path("movies/SC08.mov"), quickTimeMovie(2)));
        const HostProcessRun r =
            panelRun({"--set", "cbSceneListType=1", "--set", "pb_selectSceneList=" + path("movies"),
                      "--set", "pbSelectDestinationDir=" + path("out"), "--click",
                      "pbLoadSceneList", "--click", "pbCreateAE", "--idle", "1", "--select",
                      "treeWidget=SC07", "--click", "pbCreateAE", "--idle", "1"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err.count("dialog: Warning: Select Scenes to Create first"), 1);
        QCOMPARE(composition(path("out/SC07/SC07.aep"), "SC07"), QString("4")); // no layer
        QVERIFY(!QFileInfo::exists(path("out/SC08")));
    }

    // The same list as a workbook gives the same tree; a sheet the workbook lacks gives one
    // -ERR- line and an empty tree.
    void workbookLoadsLikeItsCsv()
    {
        const QString data = testData("xlsx/");
        for (const QString name : {"BG_forest_day", "BG_château", "CH_hero", "PR_lantern"})
            QVERIFY(writeImage(path("lib/" + name + ".png")));
        const QString table = "1,1,1,,,,,,0,000,0,,;1,2,2,,,,,,0,001,0,,;1,3,5,,,png,BG,,2,002,"
                              "1,,;1,4,6,,,png,CHARS,,1,003,1,,;1,5,6,,,png,PROPS,,1,004,1,,";
        const HostProcessRun r =
            panelRun({"--table", table,
                      "--set",   "lwLibDir=" + path("lib"),
                      "--set",   "pb_selectSceneList=" + data + "scene-list.csv",
                      "--click", "pbLoadSceneList",
                      "--tree",  "-",
                      "--set",   "pb_selectSceneList=" + data + "scene-list.xlsx",
                      "--click", "pbLoadSceneList",
                      "--tree",  "-",
                      "--set",   "efCsvSheetName=Nope",
                      "--click", "pbLoadSceneList",
                      "--tree",  "-",
                      "--log",   "-"});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n');
        QCOMPARE(lines.value(1), lines.value(0));
        // The tree is written as the JSON document itself writes it, byte for byte.
        QCOMPARE(QJsonDocument::fromJson(lines.value(0).toUtf8()).toJson(QJsonDocument::Compact),
                 lines.value(0).toUtf8());
        QVERIFY2(
            treeSummary(lines.value(0))
                .startsWith("SC010[0]: 120=0 BG_forest_day=1 CH_hero=1 CH_fox=0[0,3] PR_lantern=1; "
                            "SC020[0]: 48=0"),
            qPrintable(treeSummary(lines.value(0))));
        QVERIFY(treeSummary(lines.value(0)).contains("SC030[0]: 96=0 BG_château=1"));
        QVERIFY(QJsonDocument::fromJson(lines.value(2).toUtf8())["scenes"].toArray().isEmpty());
        const QStringList errors = r.out.split('\n').filter(QRegularExpression("^-ERR- "));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("scene-list.xlsx") && errors.first().contains("Nope"),
                 qPrintable(errors.first()));
    }

    // "Use Library Files": an imported scene gets the table's Top file above its own images and
    // the other file below them.
    void importTakesTheTableFilesAroundTheScene()
    {
        for (const QString name : {"root/SC05/A0001.png", "root/SC05/A0002.png", "lib/top_SC05.png",
                                   "lib/bottom_SC05.png"})
            QVERIFY(writeImage(path(name)));
        const HostProcessRun r = panelRun(
            {"--table", "2,0,5,,top_%a,png,TOPS,,1,000,1,,;2,0,5,,bottom_%a,png,,,2,001,1,,",
             "--set", "ckUseFilesInLibrary=true", "--set", "lwLibDir=" + path("lib"), "--set",
             "ckImpNewProject=false", "--import", path("root")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("1. top_SC05.png  <- still") &&
                     r.out.contains("2. A[0001-0002].png  <- sequence") &&
                     r.out.contains("3. bottom_SC05.png  <- still"),
                 qPrintable(r.out));
    }
};

QTEST_MAIN(TestCreateSceneRun)
#include "tst_createscene_run.moc"
