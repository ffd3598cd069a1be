// The matching rules over a small library: list rows through the table into the scene tree.
#include "scenelist/CreateSceneCore.h"
#include "scenelist/SceneMatcher.h"

#include "RecordedUser.h"
#include "TestFiles.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One saved table row: origin, Col, Type, Crop, File Name, Ext, Layer Dir, Layer Position,
// Mode, Options.
QString tableRow(int origin, int col, int type, const QString &crop = {}, const QString &file = {},
                 const QString &ext = {}, const QString &dir = {}, int position = 0, int mode = 0,
                 const QString &options = {})
{
    return QStringList{QString::number(origin),
                       QString::number(col),
                       QString::number(type),
                       crop,
                       file,
                       ext,
                       dir,
                       QString(),
                       QString::number(position),
                       "000",
                       QString::number(mode),
                       QString(options).replace(";", "[POINT_VIRGULE]").replace(",", "[VIRGULE]"),
                       QString()}
        .join(',');
}

const QString kScene = tableRow(1, 1, 1); // scenes from list column A

// "rows" is list rows separated by "/", cells by "|".
QList<QStringList> listRows(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &row : text.split('/'))
        rows << row.split('|');
    return rows;
}

} // namespace

class TestSceneListMatching : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *file :
             {"lib/BG.png", "lib/EP05_char.png", "lib/bob.png", "lib/SC010.mov", "lib/chars/a.png",
              "lib/chars/b.psd", "lib/chars/c.tmp", "lib/chars/skip_me.png", "lib/layout.tpl/x.png",
              "lib/m/MODEL.max", "out/010.fla"}) {
            QVERIFY(writeFile(path(file)));
        }
        QVERIFY(QImage(8001, 1, QImage::Format_Mono).save(path("lib/big.png")));
        QVERIFY(QImage(4, 3, QImage::Format_Mono).save(path("lib/small.png")));
        m_core.codeTable().loadFromText(";CH01;;;;;PR;MODEL;;CHARS;\n;CH02;;;;;XX;;\n");
    }

    void init() { m_user.forget(); }
    void dispatch_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("splitOnSpace");
        QTest::addColumn<QStringList>("tree");
        const QString ima = tableRow(1, 2, 5, "6:", {}, "png psd");
        QTest::newRow("crop, first extension")
            << kScene + ';' + ima << "010|sc010_BG" << false
            << QStringList{"S:010||r", "sc010_BG|BG.png|BG.png|1|r"};
        QTest::newRow("template with width")
            << kScene + ';' + tableRow(1, 2, 6, {}, "EP%02e_%a", "png") << "010|char" << false
            << QStringList{"S:010||r", "char|EP05_char.png|EP05_char.png|1|r"};
        QTest::newRow("two names in one cell, missing one red")
            << kScene + ';' + tableRow(1, 2, 6, {}, {}, "png") << "010|bob\nzed" << false
            << QStringList{"S:010||r0", "bob|bob.png|bob.png|1|r", "zed|zed.png||0|r03"};
        QTest::newRow("comments skipped, split on space, _ skipped")
            << kScene + ';' + tableRow(1, 2, 6, {}, {}, "png") << "010|bob (hero) _ bob" << true
            << QStringList{"S:010||r", "bob|bob.png|bob.png|1|r", "bob|bob.png|bob.png|1|r"};
        QTest::newRow("folder listing with exclude list")
            << kScene + ';' +
                   tableRow(1, 2, 6, {}, {}, "png psd", {}, 0, 2, "\"excludeList\":\"skip*;\"")
            << "010|chars|layout.tpl" << false
            << QStringList{"S:010||r", "chars|a.png|chars/a.png|1|r",
                           "chars|b.psd|chars/b.psd|1|r"};
        QTest::newRow("tpl folder, missing folder")
            << kScene + ';' + tableRow(1, 2, 6, {}, {}, "png", {}, 0, 2) + ';' +
                   tableRow(1, 3, 6, {}, {}, "png", {}, 0, 2)
            << "010|layout.tpl|nofolder" << false
            << QStringList{"S:010||r0", "layout.tpl|layout.tpl|layout.tpl|1|r",
                           "nofolder|nofolder||0|r03"};
        QTest::newRow("duplicate assets: the found one stays")
            << kScene + ';' + tableRow(1, 2, 6, {}, {}, "tga") + ';' +
                   tableRow(1, 2, 6, {}, {}, "png")
            << "010|bob" << false << QStringList{"S:010||r", "bob|bob.png|bob.png|1|r"};
        QTest::newRow("DocSize over 8000")
            << kScene + ';' + tableRow(1, 2, 8, {}, {}, "png") << "010|big\nsmall" << false
            << QStringList{"S:010||r0", "8001x1|big.png|big.png|0|r03",
                           "4x3|small.png|small.png|1|r"};
        QTest::newRow("scene name rows, scene cell starts it")
            << tableRow(2, 0, 3, {}, "SC%a", "mov") + ';' + kScene << "010" << false
            << QStringList{"S:010||r", "010|SC010.mov|SC010.mov|1|r"};
        QTest::newRow("code table")
            << kScene + ';' + tableRow(1, 2, 7) << "010|CH01\nCH02\nCH99" << false
            << QStringList{"S:010||r0", "CH01|MODEL.max|m/MODEL.max|1|r",
                           "CH02|CODE-NOT-FOUND2[CH02]||0|r034",
                           "CH99|CODE-NOT-FOUND[CH99]||0|r034"};
    }

    void dispatch()
    {
        QFETCH(QString, table);
        QFETCH(QString, rows);
        QFETCH(bool, splitOnSpace);
        QFETCH(QStringList, tree);
        SceneListOptions o = options(table);
        o.splitCellOnSpace = splitOnSpace;
        o.fishModeCancel = true;
        QVERIFY(m_core.collectLibraryFiles(o, nullptr));
        SceneTree result;
        SceneMatcher matcher(o, m_core.library(), m_core.codeTable(), m_core.assetQuery(), result);
        QVERIFY(matcher.dispatchRows(listRows(rows), 0, nullptr));
        result.sortOnCid();
        QCOMPARE(describe(result), tree);
        QCOMPARE(m_user.prompts.asked().size(), 0);
    }

    void elementBeforeTheFirstSceneStopsTheList()
    {
        SceneListOptions o = options(kScene + ';' + tableRow(1, 2, 6, {}, {}, "png"));
        o.target = TargetFlash; // status from <output>/<scene>.fla
        QVERIFY(m_core.collectLibraryFiles(o, nullptr));
        SceneTree tree;
        SceneMatcher matcher(o, m_core.library(), m_core.codeTable(), m_core.assetQuery(), tree);
        QVERIFY(matcher.dispatchRows(listRows("010|bob/011"), 0, nullptr));
        // The list's repainting keeps the status column red, column 0 follows the elements.
        QCOMPARE(describe(tree), QStringList({"S:010|File Exist|r", "bob|bob.png|bob.png|1|r",
                                              "S:011|No Scene|r2"}));
        const QJsonObject scene = tree.toJson()["scenes"].toArray().at(1).toObject();
        QCOMPARE(
            QJsonDocument(scene).toJson(QJsonDocument::Compact),
            QByteArray("{\"cells\":[\"011\",\"011\",\"No Scene\",\"\",\"\",\"\",\"\",\"\",\"\","
                       "\"\",\"\"],\"elements\":[],\"red\":[2],\"selected\":false}"));
        tree.clear();
        QVERIFY(!matcher.dispatchRows(listRows("|bob/010"), 0, nullptr));
        QVERIFY(tree.isEmpty());
        QCOMPARE(m_user.prompts.asked().value(0).title, QStringLiteral("addTreeElm"));
    }

    void invalidOptionsAreLogged()
    {
        const SceneListOptions o = options(tableRow(1, 2, 6, {}, {}, "png", {}, 0, 0, "fishMode:"));
        SceneTree tree;
        SceneMatcher matcher(o, m_core.library(), m_core.codeTable(), m_core.assetQuery(), tree);
        QVERIFY(matcher.optionValue(0, "fishMode").isNull());
        QCOMPARE(m_user.log.value(0).left(19), QStringLiteral("-ERR- Json Error: ["));
        QVERIFY(m_user.log.value(0).endsWith("] => [fishMode:]"));
    }

    void filesForTheSceneImport()
    {
        const SceneListOptions o = options(
            tableRow(2, 0, 3, {}, "%a", "mov", "MOV_%a", 1) + ';' +
            tableRow(2, 0, 6, {}, "chars", "png psd", "CH", 2, 2, "\"excludeList\":\"a*\"") + ';' +
            tableRow(1, 1, 6, {}, "bob", "png", {}, 1));
        QVERIFY(m_core.collectLibraryFiles(o, nullptr));
        QCOMPARE(m_core.GetFileToImportFromTable(o, "SC010", 1),
                 QVector<TableFile>({{path("lib/SC010.mov"), "MOV_SC010"}}));
        QCOMPARE(m_core.GetFileToImportFromTable(o, "SC010", -1),
                 QVector<TableFile>(
                     {{path("lib/chars/b.psd"), "CH"}, {path("lib/chars/skip_me.png"), "CH"}}));
        QCOMPARE(m_core.GetFileToImportFromTable(o, "SC010", 0).size(), 3);
    }

    // A batch import refreshes the library before each scene, at the scene's first look-up: a
    // file added after the first scene is found for the second, a file removed is no longer
    // given; a table that asks the library nothing reads no folder.
    void batchSeesTheLibraryChangeBetweenScenes()
    {
        SceneListOptions o = options(tableRow(2, 0, 5, {}, "take_%a", "png", "BG"));
        o.libraryFolders = QStringList{path("batch")};
        QVERIFY(writeFile(path("batch/take_SC010.png")) && writeFile(path("batch/take_SC030.png")));
        m_core.refreshLibraryBeforeNextLookUp(); // the first scene of the batch
        QCOMPARE(m_core.GetFileToImportFromTable(o, "SC010", 0).size(), 1);
        QVERIFY(writeFile(path("batch/take_SC020.png")));
        QVERIFY(QFile::remove(path("batch/take_SC030.png")));
        m_core.refreshLibraryBeforeNextLookUp();
        QCOMPARE(m_core.GetFileToImportFromTable(o, "SC020", 0),
                 QVector<TableFile>({{path("batch/take_SC020.png"), "BG"}}));
        QVERIFY(m_core.GetFileToImportFromTable(o, "SC030", 0).isEmpty());

        QVERIFY(writeFile(path("batch/take_SC040.png")));
        const int reads = m_core.library().folderReads();
        SceneListOptions noLookUp = options(tableRow(1, 0, 5, {}, "take_%a", "png", "BG"));
        noLookUp.libraryFolders = o.libraryFolders;
        m_core.refreshLibraryBeforeNextLookUp();
        QVERIFY(m_core.GetFileToImportFromTable(noLookUp, "SC040", 0).isEmpty());
        QCOMPARE(m_core.library().folderReads(), reads);
        QCOMPARE(m_core.GetFileToImportFromTable(o, "SC040", 0).size(), 1);
        QCOMPARE(m_core.library().folderReads(), reads + 1);
    }

private:
    SceneListOptions options(const QString &table) const
    {
        SceneListOptions o;
        o.table = MatchingTable::fromText(table);
        o.libraryFolders = QStringList{path("lib")};
        o.libraryRecursion = 3;
        o.target = Target3DsMax;
        o.destinationDir = path("out");
        o.production.episode = "5";
        o.production.job = "J";
        return o;
    }

    // "S:<name>|<status>|r<red columns>" per scene, "<element>|<file name>|<path>|<Fok>|r<red>"
    // per element, paths relative to the library.
    QStringList describe(const SceneTree &tree) const
    {
        auto red = [](const SceneTreeRow &row) {
            QString text = "r";
            for (int c : row.redList())
                text += QString::number(c);
            return text;
        };
        QStringList lines;
        for (const SceneTreeScene &scene : tree.scenes()) {
            lines << QStringList{"S:" + scene.cell(0), scene.cell(2), red(scene)}.join('|');
            for (const SceneTreeRow &e : scene.elements)
                lines << QStringList{e.cell(0), e.cell(3), e.cell(4).remove(path("lib/")),
                                     e.cell(9), red(e)}
                             .join('|');
        }
        return lines;
    }

    QString path(const QString &relative) const { return m_tmp.path() + '/' + relative; }

    QTemporaryDir m_tmp;
    RecordedUser m_user;
    CreateSceneCore m_core;
};

QTEST_GUILESS_MAIN(TestSceneListMatching)
#include "tst_scenelist_matching.moc"
