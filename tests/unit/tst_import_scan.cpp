#include "import/ColumnAssembler.h"
#include "import/CreateSceneSource.h"
#include "import/ExpoDescriptor.h"
#include "import/FolderZip.h"
#include "import/FootageCopies.h"
#include "import/SceneAnalysis.h"

#include "FileSizeLimit.h"
#include "RecordedUser.h"
#include "TestFiles.h"

#include <QHash>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList g_messages; // everything that went through the Qt message handler

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_messages.append(text);
}

// Records "comp <descriptor> <scene> <nbIma> <rate> <w>x<h>" and "<path> anim|fixe [folder]".
struct RecordingAssembler : ColumnAssembler
{
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
    void importColumn(const QString &path, bool sequence, int, const QString &folder, bool) override
    {
        calls.append(QStringLiteral("%1 %2 [%3]")
                         .arg(QDir::cleanPath(path).mid(root.size() + 1),
                              sequence ? "anim" : "fixe", folder));
    }
    void precomposeLayers(int, const QString &) override { calls.append("precomp"); }
    void runBatchScripts() override {}
    QString root;
    QStringList calls;
};

struct FakeCreateScene : CreateSceneSource
{
    bool useLibraryFiles() const override { return library; }
    bool moveFilesToRelativePath() const override { return move; }
    ProductionValues productionValues() const override { return values; }
    QVector<TableFile> GetFileToImportFromTable(const QString &scene, int position) override
    {
        asked.append(QStringLiteral("%1 %2").arg(scene).arg(position));
        return files.value(position);
    }
    bool library = false;
    bool move = false;
    ProductionValues values;
    QHash<int, QVector<TableFile>> files;
    QStringList asked;
};

// The engine as the driver builds it, over the scene folder <tmp>/SC01.
struct Harness
{
    Harness() { assembler.root = tmp.path(); }
    QString scene() const { return tmp.path() + QLatin1String("/SC01"); }
    QString generated() const
    {
        return scene() + "/SC01" + ExpoDescriptor::generatedMarker() + ".xml";
    }
    ExpoColList scan()
    {
        ExpoColList cols;
        analysis.ScanSceneDir(scene(), cols, QString());
        return cols;
    }

    QTemporaryDir tmp;
    ImportOptions options;
    FakeCreateScene createScene;
    RecordingAssembler assembler;
    ExpoDescriptor descriptor{options, assembler};
    SceneAnalysis analysis{options, createScene, descriptor};
};

// Empty files below dir; "A{1..24}.png" stands for A0001.png to A0024.png.
void touchAll(const QString &dir, const QStringList &files)
{
    static const QRegularExpression range(QStringLiteral("\\{(\\d+)\\.\\.(\\d+)\\}"));
    for (const QString &f : files) {
        const QRegularExpressionMatch m = range.match(f);
        const int first = m.hasMatch() ? m.captured(1).toInt() : 0;
        for (int i = first; i <= (m.hasMatch() ? m.captured(2).toInt() : 0); ++i) {
            QString name = f;
            if (m.hasMatch())
                name.replace(m.capturedStart(), m.capturedLength(),
                             QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')));
            QVERIFY(writeFile(dir + QLatin1Char('/') + name));
        }
    }
}

// "name [subdir] ext nbIma first..last firstCellName <folder>" per column.
QStringList describe(const ExpoColList &cols)
{
    QStringList out;
    for (const ExpoCol &c : cols)
        out.append(QStringLiteral("%1 [%2] %3 %4 %5..%6 %7 <%8>")
                       .arg(c.name, c.subdir, c.ext, QString::number(c.nbIma),
                            QString::number(c.firstNum), QString::number(c.lastNum),
                            c.firstCellName, c.folder));
    return out;
}

} // namespace

class TestImportScan : public QObject
{
    Q_OBJECT

    QtMessageHandler m_previous = nullptr;
    RecordedUser m_user;
    const QStringList &m_log = m_user.log;

private slots:
    void initTestCase() { m_previous = qInstallMessageHandler(recordMessage); }
    void cleanupTestCase() { qInstallMessageHandler(m_previous); }
    void cleanup()
    {
        m_user.forget();
        g_messages.clear();
    }

    void sequenceAndFixedImage()
    {
        Harness h;
        touchAll(h.scene(), {"A{1..24}.png", "BG.png"});
        h.analysis.ImportSceneFromDir(h.scene());

        QVERIFY(readFile(h.generated()).contains("<expo name=\"RENDER\" nbIma=\"24\""));
        QCOMPARE(h.assembler.calls,
                 QStringList({"comp SC01-QUILLMARK-GENERATED.xml SC01 24 25 1280x720",
                              "SC01/BG.png fixe []", "SC01/A0001.png anim []"}));
        const QString rule(48, QLatin1Char('='));
        QCOMPARE(m_log.mid(m_log.indexOf(rule), 4),
                 QStringList({rule, "Col[BG] Path[] Ext[png] NbIma[1]",
                              "Col[A] Path[] Ext[png] NbIma[24]", rule}));
        QVERIFY(g_messages.contains("\"A0017\"")); // each scanned base name

        // The option keeps the scan order: the first scanned column is imported first (bottom).
        h.options.reverseExpoOrder = true;
        h.assembler.calls.clear();
        h.analysis.ImportSceneFromDir(h.scene());
        QCOMPARE(h.assembler.calls.mid(1),
                 QStringList({"SC01/A0001.png anim []", "SC01/BG.png fixe []"}));
    }

    // "K0001.PNG" is imported under that very name (a case-sensitive disk has no
    // "K0001.png"), and the size probe still finds it for the extension option "png".
    void upperCaseExtensionKeptInPaths()
    {
        Harness h;
        QVERIFY(QDir().mkpath(h.scene()));
        QImage image(7, 5, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(h.scene() + "/K0001.PNG", "PNG") &&
                image.save(h.scene() + "/K0002.PNG", "PNG"));
        h.options.compSizeFromImaSize = true;
        h.analysis.ImportSceneFromDir(h.scene());
        QCOMPARE(h.assembler.calls, QStringList({"comp SC01-QUILLMARK-GENERATED.xml SC01 2 25 7x5",
                                                 "SC01/K0001.PNG anim []"}));
        QVERIFY(readFile(h.generated()).contains("ext=\"PNG\" firstCellName=\"K0001\""));
    }

    void scan_data()
    {
        QTest::addColumn<QString>("extensions");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("columns");

        const QString pngTga = QStringLiteral("*.png,*.tga");
        // Case-sensitive order, files and directories interleaved, depth first.
        QTest::newRow("order") << pngTga
                               << QStringList{"a.png", "c/y.png",     "D.png",    "C/x.png",
                                              "B.png", "C/A0002.tga", "A0001.png"}
                               << QStringList{"A [] png 2 1..2 A0001 <>", "B [] png 1 0..0 B <>",
                                              "x [/C] png 1 0..0 x <>",   "D [] png 1 0..0 D <>",
                                              "a [] png 1 0..0 a <>",     "y [/c] png 1 0..0 y <>"};
        QTest::newRow("subdirectory met first")
            << pngTga << QStringList{"A0003.png", "0sub/deep/A0007.tga"}
            << QStringList{"A [/0sub/deep] tga 2 3..7 A0007 <>"};
        QTest::newRow("all-digit names")
            << pngTga << QStringList{"0002.png", "s/0100.tga", "0001.png", "10.tga"}
            << QStringList{" [] png 4 1..100 0001 <>"};
        QTest::newRow("dotted base name") << pngTga << QStringList{"A.0002.png", "A.0001.png"}
                                          << QStringList{"A. [] png 2 1..2 A.0001 <>"};

        const QStringList mixed{"a.png", "b.TGA", "c.mov", "d.txt", ".hidden.png", " e.tga"};
        const QString e = QStringLiteral(" e [] tga 1 0..0  e <>"); // " e" begins with a blank
        const QString a = QStringLiteral("a [] png 1 0..0 a <>");
        const QString b = QStringLiteral("b [] TGA 1 0..0 b <>"); // as on disk
        QTest::newRow("default patterns")
            << QStringLiteral("*.png,*.mov") << mixed << QStringList{a, "c [] mov 1 0..0 c <>"};
        QTest::newRow("blank after comma")
            << QStringLiteral("*.png, *.tga") << mixed << QStringList{e, a};
        QTest::newRow("case-insensitive")
            << QStringLiteral("  *.PNG,,*.tga ") << mixed << QStringList{e, a, b};
        QTest::newRow("no pattern") << QString() << mixed << QStringList();
    }

    void scan()
    {
        QFETCH(QString, extensions);
        QFETCH(QStringList, files);
        QFETCH(QStringList, columns);
        Harness h;
        touchAll(h.scene(), files);
        h.options.fileExtensions = extensions;
        QCOMPARE(describe(h.scan()), columns);
    }

    void compositionSize_data()
    {
        QTest::addColumn<QByteArray>("handWritten"); // attributes and size element of expo
        QTest::addColumn<QString>("fromImage");      // extension, or empty for the option off
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("comp"); // nbIma rate size

        const QByteArray full = "nbIma=\"50\" frameRate=\"12\"><size dx=\"640\" dy=\"480\"/>";
        QTest::newRow("options") << QByteArray() << QString() << false << "3 25 1280x720";
        QTest::newRow("hand-written") << full << QString() << false << "50 12 640x480";
        // Z.png cannot be read; after the reversal A0001.png is the next png column.
        QTest::newRow("image") << full << "PNG" << false << "50 12 32x16";
        QTest::newRow("forced") << full << "png" << true << "50 12 1280x720";
    }

    void compositionSize()
    {
        QFETCH(QByteArray, handWritten);
        QFETCH(QString, fromImage);
        QFETCH(bool, force);
        QFETCH(QString, comp);
        Harness h;
        touchAll(h.scene(), {"0/B.png", "A0001.png", "A0003.png"});
        const auto image = [](int w, int h) {
            QImage i(w, h, QImage::Format_ARGB32);
            i.fill(0);
            return i;
        };
        QVERIFY(image(32, 16).save(h.scene() + "/A0001.png"));
        QVERIFY(image(8, 8).save(h.scene() + "/0/B.png")); // the first column, reversed to the end
        QVERIFY(writeFile(h.scene() + "/Z.png", "not an image"));
        if (!handWritten.isEmpty())
            QVERIFY(writeFile(h.scene() + "/SC01.xml", "<expo " + handWritten + "<cols/></expo>"));
        h.options.compSizeFromImaSize = !fromImage.isEmpty();
        h.options.compSizeFromImaExt = fromImage;
        h.options.forceCompSize = force;
        h.analysis.ImportSceneFromDir(h.scene());

        QCOMPARE(h.assembler.calls.value(0).section(QLatin1Char(' '), 3), comp);
        QCOMPARE(m_log.contains("Extract::ImaSize 32 16"), fromImage.toLower() == "png");
    }

    void folderTextAndLinkLoop()
    {
        Harness h;
        touchAll(h.scene(), {"A{1..3}.png", "sub/B.png"});
        QVERIFY(QFile::link(h.scene(), h.scene() + "/sub/back"));      // a loop: skipped
        QVERIFY(QFile::link(h.scene() + "/sub", h.scene() + "/side")); // no loop: listed
        h.options.folder = QStringLiteral("  EP%02e   %a/%x ");
        h.createScene.values.episode = QStringLiteral("5");
        QCOMPARE(describe(h.scan()), QStringList({"A [] png 3 1..3 A0001 <EP05 SC01/%x>",
                                                  "B [/side] png 2 0..0 B <EP05 side/%x>"}));
    }

    // A copy refreshed from a changed source is whole or not made: when the disk refuses the
    // bytes, the earlier copy stays as it was and nothing half-written is left beside it.
    void footageCopyIsWholeOrNotAtAll()
    {
        QTemporaryDir tmp;
        const QString source = tmp.filePath("lib/big.png");
        QVERIFY(writeFile(source, "small"));
        QString error;
        FootageCopies first(tmp.filePath("SC01"));
        const QString copy = first.copy(source, &error);
        QCOMPARE(copy, tmp.filePath("SC01/Footage/big.png"));
        QVERIFY(first.save());

        QVERIFY(writeFile(source, QByteArray(64 * 1024, 'x')));
        FootageCopies second(tmp.filePath("SC01"));
        {
            const FileSizeLimit limit(4096);
            QVERIFY(second.copy(source, &error).isEmpty());
        }
        QVERIFY2(error.endsWith("File too large"), qPrintable(error));
        QCOMPARE(readFile(copy), QByteArray("small"));
        QCOMPARE(QDir(tmp.filePath("SC01/Footage")).entryList(QDir::Files | QDir::Hidden),
                 QStringList({FootageCopies::recordName(), "big.png"}));
    }

    // A collected scene's zip is whole or not written: a disk that refuses the bytes leaves
    // the earlier zip as it was and no temporary file beside it.
    void folderZipIsWholeOrNotAtAll()
    {
        QTemporaryDir tmp;
        QByteArray noise(64 * 1024, '\0'); // does not compress below the limit
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QVERIFY(writeFile(tmp.filePath("SC01/Footage/bg.png"), noise));
        QVERIFY(writeFile(tmp.filePath("SC01.zip"), "earlier"));
        QString error;
        {
            const FileSizeLimit limit(8192);
            QVERIFY(!writeFolderZip(tmp.filePath("SC01"), tmp.filePath("SC01.zip"), {}, &error));
        }
        QVERIFY2(error.contains("SC01/Footage/bg.png") && error.endsWith("File too large"),
                 qPrintable(error));
        QCOMPARE(readFile(tmp.filePath("SC01.zip")), QByteArray("earlier"));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"SC01", "SC01.zip"}));
    }

    void unwritableDescriptorImportsNothing()
    {
        Harness h;
        touchAll(h.scene(), {"A0001.png"});
        QVERIFY(QDir().mkpath(h.generated())); // a folder where the file should go
        h.analysis.ImportSceneFromDir(h.scene());
        const QStringList log = m_log + g_messages;
        QVERIFY(log.contains("Echec creation fichier"));
        QVERIFY(log.filter("ImportSceneFromXml").isEmpty());
        QVERIFY(h.assembler.calls.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestImportScan)
#include "tst_import_scan.moc"
