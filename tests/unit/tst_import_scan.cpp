#include "import/ColumnAssembler.h"
#include "import/CreateSceneSource.h"
#include "import/ExpoDescriptor.h"
#include "import/SceneAnalysis.h"
#include "support/LogSink.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList g_messages; // everything sent through the Qt message handler during a test

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_messages.append(text);
}

class RecordingSink : public LogSink
{
public:
    void appendLogLine(const QString &line) override { lines.append(line); }
    QStringList lines;
};

class RecordingAssembler : public ColumnAssembler
{
public:
    void createSceneComposition(const QString &source, const QString &scene, int nbIma,
                                int frameRate, int width, int height) override
    {
        calls.append(QStringLiteral("comp %1 %2 %3 %4 %5x%6")
                         .arg(QFileInfo(source).fileName(), scene)
                         .arg(nbIma)
                         .arg(frameRate)
                         .arg(width)
                         .arg(height));
    }
    void importColumn(const QString &filePath, bool isSequence, int frameRate,
                      const QString &folder, bool hasFolder) override
    {
        calls.append(QStringLiteral("col %1 %2 %3 [%4] %5")
                         .arg(QDir::cleanPath(filePath).mid(root.size() + 1),
                              isSequence ? QStringLiteral("anim") : QStringLiteral("fixe"))
                         .arg(frameRate)
                         .arg(folder)
                         .arg(int(hasFolder)));
    }
    void precomposeLayers(int count, const QString &name) override
    {
        calls.append(QStringLiteral("precomp %1 %2").arg(count).arg(name));
    }
    void runBatchScripts() override { calls.append(QStringLiteral("batch")); }

    QString root; // column paths are recorded relative to it
    QStringList calls;
};

class FakeCreateScene : public CreateSceneSource
{
public:
    bool useLibraryFiles() const override { return library; }
    bool moveFilesToRelativePath() const override { return move; }
    QString placeholderValue(QChar letter) const override { return values.value(letter); }
    QVector<TableFile> GetFileToImportFromTable(const QString &sceneName, int position) override
    {
        asked.append(QStringLiteral("%1 %2").arg(sceneName).arg(position));
        return files.value(position);
    }

    bool library = false;
    bool move = false;
    QHash<QChar, QString> values;
    QHash<int, QVector<TableFile>> files;
    QStringList asked;
};

// The engine as the driver builds it, over a scene tree in a temporary folder.
struct Harness
{
    Harness()
    {
        assembler.root = tmp.path();
        QDir(tmp.path()).mkpath(QStringLiteral("SC01"));
    }
    QString scene() const { return tmp.path() + QLatin1String("/SC01"); }
    QString generated() const { return scene() + QLatin1String("/SC01-QUILLMARK-GENERATED.xml"); }

    QTemporaryDir tmp;
    ImportOptions options;
    FakeCreateScene createScene;
    RecordingAssembler assembler;
    ExpoDescriptor descriptor{options, assembler};
    SceneAnalysis analysis{options, createScene, descriptor};
};

void touch(const QString &path, const QByteArray &data = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(data);
}

void makePng(const QString &path, int width, int height)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QVERIFY(image.save(path, "PNG"));
}

void touchSequence(const QString &dir, const QString &name, int first, int last,
                   const QString &ext = QStringLiteral("png"))
{
    for (int i = first; i <= last; ++i)
        touch(QStringLiteral("%1/%2%3.%4").arg(dir, name).arg(i, 4, 10, QLatin1Char('0')).arg(ext));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// name subdir ext nbIma first..last folder, one text per column.
QStringList describe(const ExpoColList &cols)
{
    QStringList out;
    for (const ExpoCol &c : cols)
        out.append(QStringLiteral("%1 [%2] %3 %4 %5..%6 %7 <%8>")
                       .arg(c.name, c.subdir, c.ext)
                       .arg(c.nbIma)
                       .arg(c.firstNum)
                       .arg(c.lastNum)
                       .arg(c.firstCellName, c.folder));
    return out;
}

} // namespace

class TestImportScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_previous = qInstallMessageHandler(recordMessage); }
    void cleanupTestCase() { qInstallMessageHandler(m_previous); }
    void init()
    {
        g_messages.clear();
        LogSink::setCurrent(&m_sink);
    }
    void cleanup()
    {
        LogSink::setCurrent(nullptr);
        m_sink.lines.clear();
    }

    void sequenceAndFixedImage();
    void scanOrderAndMerge_data();
    void scanOrderAndMerge();
    void patterns_data();
    void patterns();
    void sceneLength_data();
    void sceneLength();
    void layerOrder_data();
    void layerOrder();
    void compositionSize_data();
    void compositionSize();
    void folderPlaceholders();
    void tableFiles();
    void tableFilesCopiedToFootage();
    void linkLoopIsScannedOnce();
    void unwritableDescriptorImportsNothing();

private:
    QtMessageHandler m_previous = nullptr;
    RecordingSink m_sink;
};

void TestImportScan::sequenceAndFixedImage()
{
    Harness h;
    touchSequence(h.scene(), QStringLiteral("A"), 1, 24);
    touch(h.scene() + QLatin1String("/BG.png"));
    h.analysis.ImportSceneFromDir(h.scene());

    QCOMPARE(readAll(h.generated()),
             QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                        "<!DOCTYPE quillMarkExpo>\n"
                        "<expo name=\"RENDER\" nbIma=\"24\" frameRate=\"25\" >\n"
                        "<size dx=\"1280\" dy=\"720\" />\n"
                        "<cols name=\"A00\">\n"
                        "    <col name=\"BG\"  type=\"fixe\" subdir=\"\" ext=\"png\" "
                        "firstCellName=\"BG\" folder=\"\" />\n"
                        "    <col name=\"A\"  type=\"anim\" subdir=\"\" ext=\"png\" "
                        "firstCellName=\"A0001\" folder=\"\" />\n"
                        "</cols>\n"
                        "</expo>\n"));
    QCOMPARE(
        h.assembler.calls,
        QStringList({"comp SC01-QUILLMARK-GENERATED.xml SC01 24 25 1280x720",
                     "col SC01/BG.png fixe 25 [] 1", "col SC01/A0001.png anim 25 [] 1", "batch"}));
    const QString rule(48, QLatin1Char('='));
    QCOMPARE(m_sink.lines.mid(m_sink.lines.indexOf(rule), 4),
             QStringList({rule, "Col[BG] Path[] Ext[png] NbIma[1]",
                          "Col[A] Path[] Ext[png] NbIma[24]", rule}));
    QVERIFY(g_messages.contains(QStringLiteral("\"A0017\""))); // each scanned base name
}

void TestImportScan::scanOrderAndMerge_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("columns");

    // Case-sensitive order, files and directories interleaved, depth first.
    QTest::newRow("interleaved") << QStringList{"a.png", "c/y.png",     "D.png",    "C/x.png",
                                                "B.png", "C/A0002.tga", "A0001.png"}
                                 << QStringList{
                                        "A [] png 2 1..2 A0001 <>", "B [] png 1 0..0 B <>",
                                        "x [/C] png 1 0..0 x <>",   "D [] png 1 0..0 D <>",
                                        "a [] png 1 0..0 a <>",     "y [/c] png 1 0..0 y <>"};
    QTest::newRow("subdirectory met first") << QStringList{"A0003.png", "0sub/deep/A0007.tga"}
                                            << QStringList{"A [/0sub/deep] tga 2 3..7 A0007 <>"};
    QTest::newRow("all-digit names") << QStringList{"0002.png", "s/0100.tga", "0001.png", "10.tga"}
                                     << QStringList{" [] png 4 1..100 0001 <>"};
    QTest::newRow("dotted base name")
        << QStringList{"A.0002.png", "A.0001.png"} << QStringList{"A. [] png 2 1..2 A.0001 <>"};
}

void TestImportScan::scanOrderAndMerge()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, columns);
    Harness h;
    h.options.fileExtensions = QStringLiteral("*.png,*.tga");
    for (const QString &f : files)
        touch(h.scene() + QLatin1Char('/') + f);
    ExpoColList cols;
    h.analysis.ScanSceneDir(h.scene(), cols, QString());
    QCOMPARE(describe(cols), columns);
}

void TestImportScan::patterns_data()
{
    QTest::addColumn<QString>("extensions");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("default") << QStringLiteral("*.png,*.mov") << QStringList{"a", "c"};
    QTest::newRow("blank after comma") << QStringLiteral("*.png, *.tga") << QStringList{" e", "a"};
    QTest::newRow("blank before comma") << QStringLiteral("*.png ,*.tga") << QStringList{" e", "b"};
    QTest::newRow("case-insensitive")
        << QStringLiteral("  *.PNG,,*.tga ") << QStringList{" e", "a", "b"};
    QTest::newRow("question mark") << QStringLiteral("?.txt") << QStringList{"d"};
    QTest::newRow("nothing") << QString() << QStringList();
}

void TestImportScan::patterns()
{
    QFETCH(QString, extensions);
    QFETCH(QStringList, cells);
    Harness h;
    for (const char *f : {"a.png", "b.TGA", "c.mov", "d.txt", ".hidden.png", " e.tga"})
        touch(h.scene() + QLatin1Char('/') + QLatin1String(f));
    h.options.fileExtensions = extensions;
    ExpoColList cols;
    h.analysis.ScanSceneDir(h.scene(), cols, QString());
    QStringList got;
    for (const ExpoCol &c : cols)
        got.append(c.firstCellName);
    QCOMPARE(got, cells);
}

void TestImportScan::sceneLength_data()
{
    QTest::addColumn<QStringList>("sequences"); // name first last
    QTest::addColumn<int>("nbIma");

    QTest::newRow("from 1") << QStringList{"A 1 24"} << 24;
    QTest::newRow("from 5") << QStringList{"A 5 9"} << 5;
    QTest::newRow("two sequences") << QStringList{"A 1 3", "B 2 10"} << 10;
    QTest::newRow("10000 upward alone") << QStringList{"A 10000 10023"} << 12;
    QTest::newRow("across 9999") << QStringList{"A 9998 10001"} << 4;
    QTest::newRow("fixed images only") << QStringList{"BG 0 0", "SKY 0 0"} << 12;
    QTest::newRow("fixed images ignored") << QStringList{"BG 0 0", "A 3 4", "Z 40 40"} << 2;
}

void TestImportScan::sceneLength()
{
    QFETCH(QStringList, sequences);
    QFETCH(int, nbIma);
    Harness h;
    for (const QString &s : sequences) {
        const QStringList p = s.split(QLatin1Char(' '));
        if (p.at(1) == QLatin1String("0"))
            touch(h.scene() + QLatin1Char('/') + p.at(0) + QLatin1String(".png"));
        else
            touchSequence(h.scene(), p.at(0), p.at(1).toInt(), p.at(2).toInt());
    }
    h.analysis.ImportSceneFromDir(h.scene());
    QVERIFY(!h.assembler.calls.isEmpty());
    QCOMPARE(h.assembler.calls.first().section(QLatin1Char(' '), 3, 3).toInt(), nbIma);
}

void TestImportScan::layerOrder_data()
{
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QStringList>("imported"); // first imported ends up at the bottom

    QTest::newRow("default") << false << QStringList{"SC01/sub/c.png", "SC01/a.png", "SC01/B.png"};
    QTest::newRow("reversed") << true << QStringList{"SC01/B.png", "SC01/a.png", "SC01/sub/c.png"};
}

void TestImportScan::layerOrder()
{
    QFETCH(bool, reverse);
    QFETCH(QStringList, imported);
    Harness h;
    touch(h.scene() + QLatin1String("/a.png"));
    touch(h.scene() + QLatin1String("/B.png"));
    touch(h.scene() + QLatin1String("/sub/c.png"));
    h.options.reverseExpoOrder = reverse;
    h.analysis.ImportSceneFromDir(h.scene());
    QStringList got;
    for (const QString &call : h.assembler.calls) {
        if (call.startsWith(QLatin1String("col ")))
            got.append(call.section(QLatin1Char(' '), 1, 1));
    }
    QCOMPARE(got, imported);
}

void TestImportScan::compositionSize_data()
{
    QTest::addColumn<QString>("handWritten"); // expo attributes and size element, or none
    QTest::addColumn<bool>("fromImage");
    QTest::addColumn<QString>("imageExt");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QString>("comp"); // nbIma rate size of the composition

    const QString full =
        QStringLiteral("nbIma=\"50\" frameRate=\"12\"><size dx=\"640\" dy=\"480\"/>");
    QTest::newRow("options") << QString() << false << "png" << false << "3 25 1280x720";
    QTest::newRow("hand-written") << full << false << "png" << false << "50 12 640x480";
    QTest::newRow("hand-written zero height") << QStringLiteral("><size dx=\"640\" dy=\"0\"/>")
                                              << false << "png" << false << "3 25 640x720";
    QTest::newRow("hand-written without size")
        << QStringLiteral("frameRate=\"30\">") << false << "png" << false << "3 30 1280x720";
    // Z.png cannot be read; after reversal A0001.png is the next png column.
    QTest::newRow("image") << full << true << "PNG" << false << "50 12 32x16";
    QTest::newRow("no image of that extension")
        << full << true << "tga" << false << "50 12 640x480";
    QTest::newRow("forced") << full << true << "png" << true << "50 12 1280x720";
}

void TestImportScan::compositionSize()
{
    QFETCH(QString, handWritten);
    QFETCH(bool, fromImage);
    QFETCH(QString, imageExt);
    QFETCH(bool, force);
    QFETCH(QString, comp);
    Harness h;
    makePng(h.scene() + QLatin1String("/A0001.png"), 32, 16);
    makePng(h.scene() + QLatin1String("/A0003.png"), 32, 16);
    touch(h.scene() + QLatin1String("/Z.png"), "not an image");
    makePng(h.scene() + QLatin1String("/0/B.png"), 8, 8); // first column, reversed to the end
    if (!handWritten.isEmpty())
        touch(h.scene() + QLatin1String("/SC01.xml"),
              "<expo " + handWritten.toLatin1() + "<cols/></expo>");
    h.options.compSizeFromImaSize = fromImage;
    h.options.compSizeFromImaExt = imageExt;
    h.options.forceCompSize = force;
    h.analysis.ImportSceneFromDir(h.scene());

    QVERIFY(!h.assembler.calls.isEmpty());
    QCOMPARE(h.assembler.calls.first().section(QLatin1Char(' '), 3), comp);
    QCOMPARE(m_sink.lines.contains(QStringLiteral("Extract::ImaSize 32 16")),
             fromImage && imageExt != QLatin1String("tga"));
    QVERIFY(QFile::exists(h.generated()));
}

void TestImportScan::folderPlaceholders()
{
    Harness h;
    touch(h.scene() + QLatin1String("/A0001.png"));
    touch(h.scene() + QLatin1String("/BG/sky.png"));
    h.options.folder = QStringLiteral("  EP%02e   %a/%x ");
    h.createScene.values.insert(QLatin1Char('e'), QStringLiteral("5"));
    ExpoColList cols;
    h.analysis.ScanSceneDir(h.scene(), cols, QString());
    QCOMPARE(describe(cols), QStringList({"A [] png 1 1..1 A0001 <EP05 SC01/%x>",
                                          "sky [/BG] png 1 0..0 sky <EP05 BG/%x>"}));
}

void TestImportScan::tableFiles()
{
    Harness h;
    QDir(h.tmp.path()).mkpath(QStringLiteral("prod/SC01"));
    const QString scene = h.tmp.path() + QLatin1String("/prod/SC01");
    const QString lib = h.tmp.path() + QLatin1String("/lib");
    touch(lib + QLatin1String("/L0001.png"));
    touch(scene + QLatin1String("/L0002.png")); // joins the first table column named L
    touch(scene + QLatin1String("/A0001.png"));
    touch(scene + QLatin1String("/x/T.png"));
    h.createScene.library = true;
    h.createScene.files.insert(1, {{lib + QLatin1String("/L0001.png"), QStringLiteral("Lib/ch")},
                                   {lib + QLatin1String("/L0009.png"), QString()}});
    h.createScene.files.insert(-1, {{lib + QLatin1String("/T.PNG"), QStringLiteral("Bg")},
                                    {scene + QLatin1String("/T.png"), QString()}});
    h.options.reverseExpoOrder = true;
    h.analysis.ImportSceneFromDir(scene);

    QCOMPARE(h.createScene.asked, QStringList({"SC01 1", "SC01 -1"}));
    QCOMPARE(m_sink.lines.mid(0, 6),
             QStringList({"--- Extern Files ---", lib + "/L0001.png", lib + "/L0009.png",
                          "--- Extern Files ---", lib + "/T.PNG", scene + "/T.png"}));
    QCOMPARE(
        h.assembler.calls.mid(1, 6),
        QStringList({"col lib/L0001.png anim 25 [Lib/ch] 1",
                     "col lib/L0009.png fixe 25 [] 1", // table files never merge
                     "col prod/SC01/A0001.png fixe 25 [] 1", "col prod/SC01/x/T.png fixe 25 [] 1",
                     "col lib/T.png fixe 25 [Bg] 1", // firstCellName T, ext lower-cased
                     "col prod/SC01/T.png fixe 25 [] 1"}));
    QVERIFY(readAll(scene + "/SC01-QUILLMARK-GENERATED.xml")
                .contains("<cols name=\"..\">\n<cols name=\"..\">\n<cols name=\"lib\">\n"
                          "    <col name=\"L\"  type=\"anim\" subdir=\"/../../lib\" ext=\"png\" "
                          "firstCellName=\"L0001\" folder=\"Lib/ch\" />"));

    // A dot in a library folder's name is no extension of a file that has none.
    h.createScene.files.insert(7, {{lib + QLatin1String(".v2/L0003"), QString()}});
    ExpoColList cols;
    h.analysis.ExtractFromTable(scene, cols, 7);
    QCOMPARE(describe(cols), QStringList({"L [/../../lib.v2]  1 3..3 L0003 <>"}));

    h.createScene.library = false; // the switch off: the table is not asked at all
    h.createScene.asked.clear();
    cols.clear();
    h.analysis.ExtractFromTable(scene, cols, 1);
    QVERIFY(cols.isEmpty());
    QVERIFY(h.createScene.asked.isEmpty());
}

void TestImportScan::tableFilesCopiedToFootage()
{
    Harness h;
    const QString lib = h.tmp.path() + QLatin1String("/lib");
    touch(lib + QLatin1String("/K.PNG"), "new");
    touch(lib + QLatin1String("/M.png"), "new");
    touch(h.scene() + QLatin1String("/Footage/M.png"), "old");
    h.createScene.library = true;
    h.createScene.move = true;
    h.createScene.files.insert(-1, {{lib + QLatin1String("/K.PNG"), QString()},
                                    {lib + QLatin1String("/M.png"), QString()},
                                    {lib + QLatin1String("/gone.png"), QString()}});
    ExpoColList cols;
    h.analysis.ExtractFromTable(h.scene(), cols, -1);

    QCOMPARE(describe(cols),
             QStringList({"K [/Footage] png 1 0..0 K <>", "M [/Footage] png 1 0..0 M <>",
                          "gone [/Footage] png 1 0..0 gone <>"}));
    QCOMPARE(readAll(h.scene() + QLatin1String("/Footage/K.png")), QByteArray("new"));
    QCOMPARE(readAll(h.scene() + QLatin1String("/Footage/M.png")), QByteArray("old"));
    QVERIFY(!QFile::exists(h.scene() + QLatin1String("/Footage/gone.png")));

    QDir(h.scene() + QLatin1String("/Footage")).removeRecursively(); // created when absent
    cols.clear();
    h.analysis.ExtractFromTable(h.scene(), cols, -1);
    QCOMPARE(readAll(h.scene() + QLatin1String("/Footage/M.png")), QByteArray("new"));
}

void TestImportScan::linkLoopIsScannedOnce()
{
    Harness h;
    touchSequence(h.scene(), QStringLiteral("A"), 1, 3);
    touch(h.scene() + QLatin1String("/sub/B.png"));
    QVERIFY(QFile::link(h.scene(), h.scene() + QLatin1String("/sub/back")));
    QVERIFY(QFile::link(h.scene() + QLatin1String("/sub"), h.scene() + QLatin1String("/side")));
    ExpoColList cols;
    h.analysis.ScanSceneDir(h.scene(), cols, QString());
    // "side" is no loop: a link to a sibling is listed like a folder of its own.
    QCOMPARE(describe(cols),
             QStringList({"A [] png 3 1..3 A0001 <>", "B [/side] png 2 0..0 B <>"}));
}

void TestImportScan::unwritableDescriptorImportsNothing()
{
    Harness h;
    touch(h.scene() + QLatin1String("/A0001.png"));
    QVERIFY(QDir().mkpath(h.generated())); // a folder where the file should go
    h.analysis.ImportSceneFromDir(h.scene());
    const QStringList log = m_sink.lines + g_messages;
    QVERIFY(log.contains(QStringLiteral("Echec creation fichier")));
    QVERIFY(log.filter(QStringLiteral("ImportSceneFromXml")).isEmpty());
    QVERIFY(h.assembler.calls.isEmpty());
}

QTEST_GUILESS_MAIN(TestImportScan)
#include "tst_import_scan.moc"
