// The scene descriptor: the writer's exact text and escaping, the reader's walk with every
// precomposition depth, its defaults and refusals, the defaults read for the analysis, and the
// bad descriptors of tests/data/illegal.
#include "import/ColumnAssembler.h"
#include "import/ExpoDescriptor.h"

#include "FileSizeLimit.h"
#include "RecordedUser.h"
#include "TestFiles.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

// Every call of the reader, one line each.
class RecordingAssembler : public ColumnAssembler
{
public:
    void createSceneComposition(const QString &source, const QString &scene, int nbIma,
                                int frameRate, int width, int height) override
    {
        calls << QStringLiteral("comp %1|%2|").arg(source, scene) +
                     QStringLiteral("%1|%2|%3|%4").arg(nbIma).arg(frameRate).arg(width).arg(height);
    }
    void importColumn(const QString &file, bool isSequence, int frameRate, const QString &folder,
                      bool hasFolder) override
    {
        calls << QStringLiteral("col %1|%2|%3|%4")
                     .arg(file, QLatin1String(isSequence ? "anim" : "fixe"))
                     .arg(frameRate)
                     .arg(hasFolder ? folder : QStringLiteral("(root)"));
    }
    void precomposeLayers(int count, const QString &name) override
    {
        calls << QStringLiteral("precomp %1|%2").arg(count).arg(name);
    }
    void runBatchScripts() override { calls << QStringLiteral("batch"); }
    QStringList calls;
};

ExpoCol column(const QString &firstCell, const QString &name, int nbIma, const QString &subdir,
               const QString &ext = QStringLiteral("png"), const QString &folder = QString())
{
    return ExpoCol{firstCell, name, nbIma, nbIma, 1, subdir, ext, folder};
}

// Folders BG, BG/Sub and Footage, with a column at the root.
QByteArray nestedText()
{
    return ExpoDescriptor::descriptorText(
        48, 24, 640, 480,
        {column("A0001", "A", 48, "", "png", "Chars/Main"), column("B", "B", 1, "/BG"),
         column("C0001", "C", 48, "/BG/Sub", "tga"), column("D0001", "D", 48, "/BG/Sub", "tga"),
         column("E", "E", 1, "/Footage", "mov")});
}

} // namespace

class TestImportDescriptor : public QObject
{
    Q_OBJECT

    RecordedUser m_user;
    const QStringList &m_log = m_user.log;

private slots:
    void init() { m_user.forget(); }

    // Folders nest as the subdirectories do; a one-image column is written under its first cell's
    // name; a folder met again later is opened again.
    void writerText()
    {
        const ExpoColList cols{column("A0001", "A", 24, ""),
                               column("BG_v1", "BG_v", 1, "/BG", "png", "Decor"),
                               column("C_0001", "C_", 3, "/BG/A", "tga"),
                               column("FX0001", "FX", 2, "/FX"), column("Y0001", "Y", 5, "/BG")};
        const QStringList expected{
            R"(<?xml version="1.0" encoding="ISO-8859-1"?>)",
            R"(<!DOCTYPE quillMarkExpo>)",
            R"(<expo name="RENDER" nbIma="24" frameRate="25" >)",
            R"(<size dx="1920" dy="1080" />)",
            R"(<cols name="A00">)",
            R"(    <col name="A"  type="anim" subdir="" ext="png" firstCellName="A0001" folder="" />)",
            R"(<cols name="BG">)",
            R"(    <col name="BG_v1"  type="fixe" subdir="/BG" ext="png" firstCellName="BG_v1" folder="Decor" />)",
            R"(<cols name="A">)",
            R"(    <col name="C_"  type="anim" subdir="/BG/A" ext="tga" firstCellName="C_0001" folder="" />)",
            R"(</cols>)",
            R"(</cols>)",
            R"(<cols name="FX">)",
            R"(    <col name="FX"  type="anim" subdir="/FX" ext="png" firstCellName="FX0001" folder="" />)",
            R"(</cols>)",
            R"(<cols name="BG">)",
            R"(    <col name="Y"  type="anim" subdir="/BG" ext="png" firstCellName="Y0001" folder="" />)",
            R"(</cols>)",
            R"(</cols>)",
            R"(</expo>)",
            ""};
        const QByteArray text = ExpoDescriptor::descriptorText(24, 25, 1920, 1080, cols);
        QCOMPARE(QString::fromLatin1(text).split(QLatin1Char('\n')), expected);
    }

    void writerEscapesAndStaysLatin1()
    {
        const QString name = QStringLiteral("R&D <\"x\"> \u00e9t\u00e9 \u03a9\tA");
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        const ExpoColList cols{column(name + QStringLiteral("0001"), name, 2,
                                      QStringLiteral("/Caf\u00e9 & <Co>/") + emoji, "png",
                                      QStringLiteral("F\"1/\u4e2d"))};
        const QByteArray text = ExpoDescriptor::descriptorText(2, 25, 0, 0, cols);
        QVERIFY(text.contains(R"(<cols name="Caf)"
                              "\xe9"
                              R"( &amp; &lt;Co&gt;">)"));
        QVERIFY(text.contains(R"(<cols name="&#128512;">)"));
        QVERIFY(text.contains(R"(<col name="R&amp;D &lt;&quot;x&quot;&gt; )"
                              "\xe9t\xe9"
                              R"( &#937;&#9;A"  type="anim")"));
        QVERIFY(text.contains(R"(folder="F&quot;1/&#20013;" />)"));
        QVERIFY(!text.contains("\xc3")); // no UTF-8 anywhere: the file is ISO-8859-1

        // Everything comes back as it was through the reader.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SC.xml"));
        QVERIFY(writeFile(path, text));
        ImportOptions options;
        options.precomp = 5;
        RecordingAssembler assembler;
        ExpoDescriptor(options, assembler).ImportSceneFromXml(path);
        QCOMPARE(
            assembler.calls,
            QStringList({QStringLiteral("comp %1|SC|2|25|0|0").arg(path),
                         QStringLiteral("col %1/Caf\u00e9 & <Co>/%2/%3.png|anim|25|%4")
                             .arg(dir.path(), emoji, name + QStringLiteral("0001"),
                                  QStringLiteral("F\"1/\u4e2d")),
                         QStringLiteral("precomp 1|") + emoji,
                         QStringLiteral("precomp 1|Caf\u00e9 & <Co>"), QStringLiteral("batch")}));
    }

    void writerReplacesOrReports()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("d.xml"));
        QVERIFY(ExpoDescriptor::WriteExpoDescriptor(path, 1, 25, 0, 0,
                                                    {column("A0001", "A", 9, "/a/b/c/d")}));
        QVERIFY(ExpoDescriptor::WriteExpoDescriptor(path, 1, 25, 0, 0, {}));
        QCOMPARE(readFile(path), ExpoDescriptor::descriptorText(1, 25, 0, 0, {}));

        QVERIFY(!ExpoDescriptor::WriteExpoDescriptor(dir.filePath(QStringLiteral("none/d.xml")), 1,
                                                     25, 0, 0, {}));
        QCOMPARE(m_log.value(0), QStringLiteral("Echec creation fichier"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none/d.xml"))));

        // A disk that fills up half way: the old descriptor stays whole and the reason is logged.
        m_user.forget();
        const QByteArray old = readFile(path);
        const ExpoColList many(200, column("A0001", "A", 9, "/sub"));
        bool written = true;
        {
            const FileSizeLimit limit(4096);
            written = ExpoDescriptor::WriteExpoDescriptor(path, 1, 25, 0, 0, many);
        }
        QVERIFY(!written);
        QCOMPARE(readFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("d.xml")});
        QCOMPARE(m_log.size(), 2);
        QVERIFY(m_log.at(1).endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))));
    }

    void readerCalls_data()
    {
        QTest::addColumn<QByteArray>("expo");
        QTest::addColumn<int>("precomp");
        QTest::addColumn<QStringList>("calls"); // %1 stands for the descriptor's folder

        const QString a = QStringLiteral("col %1/A0001.png|anim|24|Chars/Main");
        const QString b = QStringLiteral("col %1/BG/B.png|fixe|24|");
        const QString c = QStringLiteral("col %1/BG/Sub/C0001.tga|anim|24|");
        const QString d = QStringLiteral("col %1/BG/Sub/D0001.tga|anim|24|");
        const QString e = QStringLiteral("col %1/Footage/E.mov|fixe|24|");
        const QString comp = QStringLiteral("comp|48|24|640|480");
        QTest::newRow("No Precomp") << nestedText() << 0 << QStringList{comp, a, b, c, d, e};
        // "Sub" lies deeper than the option reaches: its layers count one by one in BG.
        QTest::newRow("Folder") << nestedText() << 1
                                << QStringList{comp, a, b, c, d, "precomp 3|BG", e};
        QTest::newRow("defaults: panel rate, no size, name-only sequence as A0001.png")
            << QByteArray(R"(<expo><cols name="A00"><cols name="X">
                   <col name="A" type="anim" ext="" folder="ignored"/>
                   <col name="B" subdir="/s" ext="tga"/>
                   <col/>
               </cols></cols></expo>)")
            << 1
            << QStringList{"comp|0|30|0|0", "col %1/A0001.png|anim|30|(root)",
                           "col %1/s/B.tga|fixe|30|(root)", "precomp 3|X"};
        QTest::newRow("a Footage folder keeps its layers")
            << QByteArray(R"(<expo frameRate="25"><cols name="A00"><cols name="Footage">
                   <col name="a" ext="png"/><col name="b" ext="png"/></cols>
                   <cols name="footage"><col name="c" ext="png"/></cols></cols></expo>)")
            << 1
            << QStringList{"comp|0|25|0|0", "col %1/a.png|fixe|25|(root)",
                           "col %1/b.png|fixe|25|(root)", "col %1/c.png|fixe|25|(root)",
                           "precomp 1|footage"};
    }

    void readerCalls()
    {
        QFETCH(QByteArray, expo);
        QFETCH(int, precomp);
        QFETCH(QStringList, calls);
        ImportOptions options;
        options.precomp = precomp;
        options.compFrameRate = 30;
        RecordingAssembler assembler;
        const QString path = QStringLiteral("C:\\scenes\\SC02\\SC02.xml");
        ExpoDescriptor descriptor(options, assembler);
        descriptor.importSceneFromData(path, expo);
        QStringList expected;
        for (QString call : calls)
            expected << call.replace(QLatin1String("comp|"),
                                     QStringLiteral("comp %1|SC02|").arg(path))
                            .replace(QLatin1String("%1"), QStringLiteral("C:\\scenes\\SC02"));
        QCOMPARE(assembler.calls, expected << QStringLiteral("batch"));
        if (expo != nestedText())
            return;
        QCOMPARE(m_log.mid(1), QStringList({QStringLiteral("dx=640 dy=480 nbIma=48\n"), "A0001",
                                            "B", "C0001", "D0001", "E"}));
        QDomDocument doc;
        QVERIFY(doc.setContent(expo, true));
        QCOMPARE(descriptor.ImportCols(doc.documentElement(), path, 24, 0), precomp == 0 ? 5 : 3);
        QCOMPARE(descriptor.ImportCols(QDomElement(), path, 24, 0), 0);
    }

    // Each tests/data/illegal/descriptor-*.xml beside a .expected file with the log entry it must
    // give (trimmed). A refused descriptor builds nothing; an accepted one builds its composition.
    void illegalDescriptorsGiveTheirMessage()
    {
        const QDir illegal(testData("illegal"));
        const QStringList files =
            illegal.entryList({QStringLiteral("descriptor-*.xml")}, QDir::Files);
        QVERIFY(files.size() >= 10);
        ImportOptions options;
        options.precomp = 5;
        for (const QString &name : files) {
            m_user.forget();
            RecordingAssembler assembler;
            ExpoDescriptor(options, assembler).ImportSceneFromXml(illegal.filePath(name));
            const QString expected =
                QString::fromUtf8(readFile(illegal.filePath(name + QStringLiteral(".expected"))))
                    .trimmed();
            QStringList logged;
            for (const QString &line : qAsConst(m_log))
                logged << line.trimmed();
            QVERIFY2(logged.contains(expected), qPrintable(name + QStringLiteral(" logged: ") +
                                                           logged.join(QLatin1Char('|'))));
            const bool refused = expected.startsWith(QLatin1String("Parse error")) ||
                                 expected.startsWith(QLatin1String("The file is not"));
            QVERIFY2(assembler.calls.isEmpty() == refused, qPrintable(name));

            DescriptorDefaults d;
            QCOMPARE(ExpoDescriptor::readDefaults(illegal.filePath(name), 25, &d), !refused);
        }
    }
};

QTEST_GUILESS_MAIN(TestImportDescriptor)
#include "tst_import_descriptor.moc"
