// The script texts the import hands to the host, the footage comparison that decides reuse,
// and the file operations of the driver that need no host.
#include "import/CreateSceneSource.h"
#include "import/HostScripts.h"
#include "import/SceneImport.h"
#include "import/vipLi.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

class CopyingSource : public CreateSceneSource
{
public:
    bool moveFilesToRelativePath() const override { return true; }
};

} // namespace

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
        QTest::newRow("sequence, other frame")
            << "/s/SC01/A0000.png"
            << "/s/SC01/A0001.png" << int(kColumnSequence) << 24 << true;
        QTest::newRow("sequence, case and separator")
            << "C:\\S\\sc01\\a0001.PNG"
            << "c:/s/SC01/A0007.png" << int(kColumnSequence) << 24 << true;
        QTest::newRow("sequence, other key")
            << "/s/SC01/B0001.png"
            << "/s/SC01/A0001.png" << int(kColumnSequence) << 24 << false;
        QTest::newRow("sequence, other extension")
            << "/s/SC01/A0001.tga"
            << "/s/SC01/A0001.png" << int(kColumnSequence) << 24 << false;
        QTest::newRow("fixed image") << "/s/BG.png"
                                     << "/s/bg.png" << int(kColumnFixed) << 1 << true;
        QTest::newRow("fixed image against a sequence item")
            << "/s/BG0001.png"
            << "/s/BG0001.png" << int(kColumnFixed) << 2 << false;
        QTest::newRow("movies keep their numbers")
            << "/s/shot1.mov"
            << "/s/shot2.mov" << int(kColumnMovie) << 1 << false;
    }
    void footageReuse()
    {
        QFETCH(QString, existing);
        QFETCH(QString, candidate);
        QFETCH(int, type);
        QFETCH(int, files);
        QFETCH(bool, same);
        QCOMPARE(SameFootage(existing, candidate, type, files), same);
    }

    void copyToFootage()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(QStringLiteral("lib/BG.png"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("lib"))));
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("png");
        file.close();
        const QString scene = dir.filePath(QStringLiteral("SC01"));

        const ImportOptions options;
        CreateSceneSource off;
        QCOMPARE(SceneImport(options, off).CopyToFootage(source, scene), source);
        QVERIFY(!QFileInfo::exists(scene + QStringLiteral("/Footage")));

        CopyingSource on;
        const QString copy = scene + QStringLiteral("/Footage/BG.png");
        QCOMPARE(SceneImport(options, on).CopyToFootage(source, scene), copy);
        QVERIFY(QFileInfo::exists(copy));
        // A second copy finds the first in place and uses it.
        QCOMPARE(SceneImport(options, on).CopyToFootage(source, scene), copy);
        // A file that cannot be copied is used from where it is.
        const QString missing = dir.filePath(QStringLiteral("lib/missing.png"));
        QCOMPARE(SceneImport(options, on).CopyToFootage(missing, scene), missing);
    }
};

QTEST_GUILESS_MAIN(TestImportScripts)
#include "tst_import_scripts.moc"
