// The script texts the import hands to the host and the footage comparison that decides
// reuse.
#include "import/HostScripts.h"
#include "import/vipLi.h"

#include <QTest>

class TestImportScripts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void templatesAreKeptWordForWord()
    {
        QCOMPARE(compNamePrefix(QStringLiteral("SC01"), QStringLiteral("x=1;")),
                 QStringLiteral("var _CurCompName='SC01';x=1;"));
        QCOMPARE(psdColumnScript(QStringLiteral("/s/A.psd")),
                 QStringLiteral("var o=new ImportOptions(File('/s/A.psd'));o.importAs = "
                                "ImportAsType.COMP;var g=app.project.importFile(o);var "
                                "c=null;for(var i=1;i<=app.project.numItems;i++){var "
                                "t=app.project.item(i);if(t instanceof CompItem && "
                                "t.name==_CurCompName)c=t;} if (c!=null && g!=undefined) "
                                "c.layers.add(g);delete o;"));
        QCOMPARE(aepColumnScript(QStringLiteral("/s/B.aep")),
                 QStringLiteral("var o=new ImportOptions(File('/s/B.aep'));o.importAs = "
                                "ImportAsType.PROJECT;var g=app.project.importFile(o);"));
        QCOMPARE(precomposeScript(layerIndexList(1, 2), QStringLiteral("BG")),
                 QStringLiteral("var c=null; for(var i=1;i<=app.project.numItems;i++){var "
                                "t=app.project.item(i); if(t instanceof CompItem && "
                                "t.name==_CurCompName) c=t;} if (c!=null) "
                                "c.layers.precompose([1,2],'BG',true);"));
        QCOMPARE(layerIndexList(2, 3), QStringLiteral("[2,3,4]"));
        QCOMPARE(layerIndexList(1, 0), QStringLiteral("[]"));
        QCOMPARE(layerIndexList(1, -3), QStringLiteral("[]"));
    }

    // Whatever a path or name holds, it stays inside its string literal.
    void insertedTextsAreEscaped()
    {
        QCOMPARE(jsStringContents(QStringLiteral("Bob's \"BG\"")),
                 QStringLiteral("Bob\\'s \"BG\""));
        QCOMPARE(jsStringContents(QStringLiteral("C:\\shots\\A.psd")),
                 QStringLiteral("C:\\\\shots\\\\A.psd"));
        QCOMPARE(jsStringContents(QStringLiteral("a\nb\rc") + QChar(0x2028)),
                 QStringLiteral("a\\nb\\rc\\u2028"));
        QCOMPARE(jsStringContents(QStringLiteral("Scène %1")), QStringLiteral("Scène %1"));
        // A script file's path reaches the host in ASCII, whatever encoding it reads.
        QCOMPARE(evalFileScript(QStringLiteral("C:\\it's\\Scène 日.jsx")),
                 QStringLiteral("$.evalFile('C:\\\\it\\'s\\\\Sc\\u00e8ne \\u65e5.jsx');"));

        const QString hostile = QStringLiteral("x');app.quit();('");
        QVERIFY(precomposeScript(QStringLiteral("[1]"), hostile)
                    .endsWith(QStringLiteral("precompose([1],'x\\');app.quit();(\\'',true);")));
        QVERIFY(psdColumnScript(hostile).startsWith(
            QStringLiteral("var o=new ImportOptions(File('x\\');app.quit();(\\''));")));
        // A placeholder inside the name is not taken for the script.
        QCOMPARE(compNamePrefix(QStringLiteral("A%2'"), QStringLiteral("s;")),
                 QStringLiteral("var _CurCompName='A%2\\'';s;"));
    }

    void batchScriptList()
    {
        const QStringList entries{
            QStringLiteral("  /s/batch_render.jsx "),     QStringLiteral("/s/my_batch.jsx"),
            QStringLiteral("C:\\tools\\BATCH_fx.jsxbin"), QString(),
            QStringLiteral("/BATCH/tools.jsx"),           QStringLiteral("Batch  two.jsx")};
        QCOMPARE(::batchScripts(entries), QStringList({QStringLiteral("/s/batch_render.jsx"),
                                                       QStringLiteral("C:\\tools\\BATCH_fx.jsxbin"),
                                                       QStringLiteral("Batch two.jsx")}));
    }

    void footageReuse_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("same");
        const auto row = [](const char *name, const QString &existing, const QString &candidate,
                            int type, int files, bool same) {
            QTest::newRow(name) << existing << candidate << type << files << same;
        };
        row("sequence, case and separator", "C:\\S\\sc01\\a0001.PNG", "c:/s/SC01/A0007.png",
            kColumnSequence, 24, true);
        row("sequence, other key", "/s/SC01/B0001.png", "/s/SC01/A0001.png", kColumnSequence, 24,
            false);
        row("fixed image against a sequence item", "/s/BG0001.png", "/s/BG0001.png", kColumnFixed,
            2, false);
        row("movies keep their numbers", "/s/shot1.mov", "/s/shot2.mov", kColumnMovie, 1, false);
    }
    void footageReuse()
    {
        QFETCH(QString, existing);
        QFETCH(QString, candidate);
        QFETCH(int, type);
        QFETCH(int, files);
        QTEST(SameFootage(existing, candidate, type, files), "same");
    }
};

QTEST_GUILESS_MAIN(TestImportScripts)
#include "tst_import_scripts.moc"
