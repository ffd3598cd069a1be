// The scene list readers and the load driver, on files as users have them.
#include "scenelist/CreateSceneCore.h"
#include "scenelist/HarmonyJob.h"
#include "scenelist/LoadProgress.h"

#include "RecordedUser.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CancelAtOnce : LoadProgress
{
    void setLabelText(const QString &) override {}
    void setRange(int, int) override {}
    void setValue(int) override {}
    bool wasCanceled() const override { return true; }
    void processEvents() override {}
};

// Row 0 starts scenes from list column A; row 1 finds "<name>.png" from column B; row 2 takes
// images named in bridge files; row 3 makes an information element from the scene name.
const QString kTable = "1,1,1;1,2,6,,,png;1,0,5,,,png;2,0,2";

QString spreadsheet(const QStringList &rows)
{
    QString xml = "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:"
                  "spreadsheet\"><Worksheet><Table>";
    for (const QString &row : rows) {
        xml += "<Row>";
        for (const QString &cell : row.split('|'))
            xml += "<Cell><Data>" + cell + "</Data></Cell>";
        xml += "</Row>";
    }
    return xml + "</Table></Worksheet></Workbook>";
}

} // namespace

class TestSceneListReaders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(writeFile(path("lib/bob.png"))); }

    void init()
    {
        m_user.forget();
        m_core.setWorkbookReader(nullptr);
    }

    void lists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("scenes");
        QTest::addColumn<QString>("logged"); // a line that must be in the log, or empty
        const QByteArray csv = "h1;h2\nh3;h4\n010;bob\r\n011;bob";
        QTest::newRow("two headers skipped, last line without break read")
            << "list.csv" << csv << QStringList{"010[bob+,010]", "011[bob+,011]"} << "";
        QTest::newRow(".CSV in capitals")
            << "LIST.CSV" << csv << QStringList{"010[bob+,010]", "011[bob+,011]"} << "";
        QTest::newRow("quoted separator and line break")
            << "q.csv" << QByteArray("h\nh\n\"01;0\";\"bob\nzed\"\n")
            << QStringList{"01;0[bob+,zed,01;0]"} << "";
        QTest::newRow("Windows-1252 list") << "w.csv" << QByteArray("h\nh\n\xc9t\xe9;bob\n")
                                           << QStringList{QString::fromUtf8("Été[bob+,Été]")}
                                           << "-WAR- ReadCsvSceneList : [" + path("w.csv") +
                                                  "] is not UTF-8, read as Windows-1252";
        QTest::newRow("fewer than five spreadsheet rows")
            << "s.xml" << spreadsheet({"h", "h", "h", "010|bob"}).toUtf8() << QStringList() << "";
        QTest::newRow("spreadsheet: blanks first, fifth row on, empty row ends")
            << "S.XML"
            << "\n\t " + spreadsheet({"h", "h", "h", "h", "010|bob", "|", "011|bob"}).toUtf8()
            << QStringList{"010[bob+]"} << "";
        QTest::newRow("workbook without reader reads nothing")
            << "w.xlsx" << QByteArray() << QStringList() << "";
    }

    void lists()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, scenes);
        QFETCH(QString, logged);
        QVERIFY(writeFile(path(name), content));
        QCOMPARE(m_core.load(options(path(name)), nullptr).outcome, SceneListLoad::Read);
        QCOMPARE(describe(), scenes);
        if (!logged.isEmpty())
            QVERIFY2(m_user.log.contains(logged), qPrintable(m_user.log.join('\n')));
        QCOMPARE(m_user.prompts.asked().size(), 0);
    }

    // Real XML spreadsheets read without error, broken ones give one parse error; another
    // ending gives the warning box. The Excel sheet's fifth row starts in its eighth column
    // (ss:Index), so its first element comes before any scene.
    void realSpreadsheets_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("box");
        const auto row = [](const char *file, const QString &logged = QString(),
                            const QString &box = QString()) {
            QTest::newRow(file) << QString(file) << logged << box;
        };
        row("excel2003.xml", {}, "addTreeElm");
        row("excel2003.iso8859-1.xml");
        // Not XML: HTML entities that no document type declares.
        row("issue.2157.small.xml", "-ERR- ReadXmlSceneList : Parse error at line 59, column 34: "
                                    "Entity 'Tau' not declared.");
        row("CorruptedXmlFile.xml", "-ERR- ReadXmlSceneList : Parse error at line 8, column 20: ");
        row("list.txt", {}, "SceneList:Unsupported File Extension");
    }
    void realSpreadsheets()
    {
        QFETCH(QString, file);
        QFETCH(QString, logged);
        QFETCH(QString, box);
        const SceneListLoad result = m_core.load(options(testData("xmlss/" + file)), nullptr);
        const QStringList errors = m_user.log.filter("-ERR- ");
        QCOMPARE(errors.size(), logged.isEmpty() ? 0 : 1);
        QVERIFY2(errors.value(0).startsWith(logged), qPrintable(errors.value(0)));
        QCOMPARE(result.outcome == SceneListLoad::Unsupported, file.endsWith(".txt"));
        QCOMPARE(m_user.prompts.asked().size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty())
            QCOMPARE(m_user.prompts.asked().first().title, box);
    }

    // Cells and rows left out by spreadsheet programs: ss:Index gives the next one's position.
    // Hostile positions are refused with one line, and nothing is read.
    void spreadsheetPositions_data()
    {
        QTest::addColumn<QString>("rows"); // <Row> elements after four header rows
        QTest::addColumn<QStringList>("scenes");
        QTest::addColumn<QString>("logged");
        const QString cell = "<Cell><Data>%1</Data></Cell>";
        const auto at = [](int index, const QString &text) {
            return QString("<Cell ss:Index=\"%1\"><Data>%2</Data></Cell>").arg(index).arg(text);
        };
        // Column 5 feeds table row 4, an empty row: an information element, not the Asset
        // of column 2 where the cell would land without its position.
        QTest::newRow("cell after a gap")
            << "<Row>" + cell.arg("010") + at(5, "bob") + "</Row>" << QStringList{"010[bob]"} << "";
        QTest::newRow("merged cells") << "<Row><Cell ss:MergeAcross=\"3\"><Data>010</Data></Cell>" +
                                             cell.arg("bob") + "</Row>"
                                      << QStringList{"010[bob]"} << "";
        QTest::newRow("a left-out row ends the sheet")
            << "<Row ss:Index=\"5\">" + cell.arg("010") + cell.arg("bob") + "</Row><Row " +
                   "ss:Index=\"7\">" + cell.arg("011") + "</Row>"
            << QStringList{"010[bob+]"} << "";
        const QString refused = "-ERR- ReadXmlSceneList : Cell ss:Index [%1] at line 1 is not a "
                                "position after %2 (at most 16384)";
        QTest::newRow("cell index 0")
            << "<Row>" + at(0, "010") + "</Row>" << QStringList() << refused.arg(0).arg(0);
        QTest::newRow("cell index going back")
            << "<Row>" + cell.arg("010") + cell.arg("x") + at(2, "bob") + "</Row>" << QStringList()
            << refused.arg(2).arg(2);
        QTest::newRow("cell index huge") << "<Row>" + at(2147483647, "010") + "</Row>"
                                         << QStringList() << refused.arg(2147483647).arg(0);
        QTest::newRow("row index negative")
            << "<Row ss:Index=\"-5\">" + cell.arg("010") + "</Row>" << QStringList()
            << "-ERR- ReadXmlSceneList : Row ss:Index [-5] at line 1 is not a position after 4 "
               "(at most 1048576)";
        QTest::newRow("merge past the sheet")
            << "<Row><Cell ss:MergeAcross=\"99999999\"><Data>010</Data></Cell></Row>"
            << QStringList()
            << "-ERR- ReadXmlSceneList : Cell ss:MergeAcross [99999999] at line 1 is not a "
               "number of columns within the sheet";
    }
    void spreadsheetPositions()
    {
        QFETCH(QString, rows);
        QFETCH(QStringList, scenes);
        QFETCH(QString, logged);
        QString xml = spreadsheet({"h", "h", "h", "h"});
        xml.insert(xml.indexOf("</Table>"), rows);
        xml.replace("<Workbook ", "<Workbook xmlns:ss=\"urn:schemas-microsoft-com:office:"
                                  "spreadsheet\" ");
        QVERIFY(writeFile(path("positions.xml"), xml.toUtf8()));
        m_core.load(options(path("positions.xml")), nullptr);
        QCOMPARE(describe(), scenes);
        QCOMPARE(m_user.log.filter("-ERR- "),
                 logged.isEmpty() ? QStringList() : QStringList(logged));
    }

    void cancelDuringCollectionReadsNothing()
    {
        QVERIFY(writeFile(path("c.csv"), "h\nh\n010;bob\n"));
        CancelAtOnce progress;
        QCOMPARE(m_core.load(options(path("c.csv")), &progress).outcome, SceneListLoad::Cancelled);
        QVERIFY(m_core.tree().isEmpty());
    }

    void bridgeFilesAddTheirFoldersBeforeTheScan()
    {
        const QByteArray root = QUrl::toPercentEncoding(path("b"), "/");
        // The first element is left open (repaired), "|:" stands for an apostrophe, the third
        // address is UTF-8 as is, the sound file has no table row.
        QByteArray first = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><list>"
                           "<file uri='file://ROOT/caf%C3%A9/one.png'>"
                           "<file uri=\"file://ROOT/caf%C3%A9/it|:s.png\"/>"
                           "<file uri=\"file://ROOT/\xd0\x9a\xd0\xb0\xd0\xb4\xd1\x80/two.png\"/>"
                           "<file uri=\"file://ROOT/caf%C3%A9/song.wav\"/></list>";
        QByteArray second = "<list><file uri=\"file://ROOT/caf%C3%A9/one.png\"/></list>";
        // The folder new to the library holds its file: found on the first load.
        QVERIFY(writeFile(path(QString::fromUtf8("b/\xd0\x9a\xd0\xb0\xd0\xb4\xd1\x80/two.png"))));
        QVERIFY(writeFile(path("bridge/SC1.filelist"), first.replace("ROOT", root)));
        QVERIFY(writeFile(path("bridge/SC2.filelist"), second.replace("ROOT", root)));
        SceneListOptions o = options(path("bridge"));
        o.sceneListType = 1;
        o.inputExtension = "filelist";
        o.libraryFolders << path("b/caf\xc3\xa9");
        const SceneListLoad result = m_core.load(o, nullptr);
        QCOMPARE(result.addedLibraryFolders,
                 QStringList{path(QString::fromUtf8("b/\xd0\x9a\xd0\xb0\xd0\xb4\xd1\x80"))});
        QCOMPARE(describe(), QStringList({"SC1[one,it's,two+,SC1]", "SC2[one,SC2]"}));
    }

    // Each tests/data/illegal/scenelist-* file beside a .expected file holding its log line.
    void illegalFilesGiveTheirLine_data()
    {
        QTest::addColumn<QString>("file");
        const QDir illegal(testData("illegal"));
        for (const QString &name : illegal.entryList({"scenelist-*"}, QDir::Files)) {
            if (!name.endsWith(".expected"))
                QTest::newRow(qPrintable(name)) << illegal.filePath(name);
        }
    }

    void illegalFilesGiveTheirLine()
    {
        QFETCH(QString, file);
        SceneListOptions o = options(file);
        if (file.endsWith(".filelist")) { // read from a folder of its own
            const QString folder = path("illegal/" + QFileInfo(file).completeBaseName());
            QVERIFY(writeFile(folder + "/SC1.filelist", readFile(file)));
            o.sceneListType = 1;
            o.sceneListPath = folder;
            o.inputExtension = "filelist";
            o.table = MatchingTable::fromText("1,0,5,,,png"); // bridge images only
        }
        const SceneListLoad result = m_core.load(o, nullptr);
        QVERIFY(result.addedLibraryFolders.isEmpty());
        QCOMPARE(m_user.log.filter("-ERR- "), QStringList(readFile(file + ".expected")));
        for (const SceneTreeScene &scene : m_core.tree().scenes())
            QCOMPARE(scene.elements.size(), 0);
    }

    void harmonyJob_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("scenes");
        QTest::addColumn<QList<int>>("checks");
        QTest::newRow("offline, one stage missing")
            << false << QStringList{"scene-001/stage", "scene-002/x", "other/y"}
            << QStringList{"001[001]", "002[002]"} << QList<int>{2, 1};
    }

    void harmonyJob()
    {
        QFETCH(bool, online);
        QFETCH(QStringList, files);
        QFETCH(QStringList, scenes);
        QFETCH(QList<int>, checks);
        checks << 0; // a scene the job lacks
        const QString job = path(online ? "online" : "offline");
        for (const QString &file : files)
            QVERIFY(writeFile(job + '/' + file));
        SceneListOptions o = options(QString());
        o.sceneListType = 1;
        o.target = TargetHarmony;
        o.harmony.onlineMode = online;
        o.harmony.scenePath = job;
        o.table.loadFromText("1,1,1;0;0;2,0,2"); // a SceneListFile row warns in this mode
        QCOMPARE(m_core.load(o, nullptr).outcome, SceneListLoad::Read);
        QCOMPARE(describe(), scenes);
        QCOMPARE(m_user.log
                     .filter("-Warning- Name Matching Table: Option [SceneListFile] on line 1 "
                             "incompatible in this mode.")
                     .size(),
                 2);
        const HarmonyJob harmony(o.harmony, o.production);
        QCOMPARE((QList<int>{harmony.harmonySceneCheck("001"), harmony.harmonySceneCheck("002"),
                             harmony.harmonySceneCheck("003")}),
                 checks);
    }

private:
    SceneListOptions options(const QString &list) const
    {
        SceneListOptions o;
        o.table = MatchingTable::fromText(kTable);
        o.sceneListPath = list;
        o.libraryFolders = QStringList{path("lib")};
        o.target = Target3DsMax;
        return o;
    }

    // "<scene>[<element>,...]" per scene; found elements carry a "+".
    QStringList describe() const
    {
        QStringList scenes;
        for (const SceneTreeScene &scene : m_core.tree().scenes()) {
            QStringList elements;
            for (const SceneTreeRow &element : scene.elements)
                elements << element.cell(0) + (element.isFound() ? "+" : "");
            scenes << scene.cell(0) + '[' + elements.join(',') + ']';
        }
        return scenes;
    }

    QString path(const QString &relative) const { return m_tmp.path() + '/' + relative; }

    QTemporaryDir m_tmp;
    RecordedUser m_user;
    CreateSceneCore m_core;
};

QTEST_GUILESS_MAIN(TestSceneListReaders)
#include "tst_scenelist_readers.moc"
