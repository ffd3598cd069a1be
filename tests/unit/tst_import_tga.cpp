// The TGA reader: every image type with its byte order, run-length packets, colour maps, and
// the bad files of tests/data/illegal with the report each one must give.
#include "import/TgaReader.h"
#include "support/AnsweringPrompts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray tgaHeader(int type, int width, int height, int depth, int mapType = 0, int mapLength = 0,
                     int mapBits = 0, int idLength = 0)
{
    QByteArray h(TgaHeaderSize, '\0');
    h[0] = char(idLength);
    h[1] = char(mapType);
    h[2] = char(type);
    h[7] = char(mapBits);
    h[16] = char(depth);
    for (auto field : {std::make_pair(5, mapLength), {12, width}, {14, height}}) {
        h[field.first] = char(field.second & 255); // little-endian 16 bits
        h[field.first + 1] = char(field.second >> 8);
    }
    return h;
}

void addRow(const char *name, const QByteArray &file, const QByteArray &pixels,
            const QString &report = QString())
{
    QTest::newRow(name) << file << pixels << report;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QString dataDir()
{
    return qEnvironmentVariable("CELLKIT_SOURCE_DIR") + QStringLiteral("/tests/data");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestImportTga : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_previous = Prompts::install(&m_answers); }
    void cleanupTestCase() { Prompts::install(m_previous); }
    void init() { m_answers.forget(); }
    // Only the reads that must warn show a box; those tests check and forget it.
    void cleanup() { QCOMPARE(askedTexts(), QStringList()); }

    void decodesEveryType_data();
    void decodesEveryType();
    void paletteEntries();
    void silentReadShowsNothing();
    void loadFillsInfo();
    void truevisionFilesDecodeAlike_data();
    void truevisionFilesDecodeAlike();
    void illegalFilesGiveTheirReport();

private:
    QStringList askedTexts() const
    {
        QStringList texts;
        for (const AnsweringPrompts::Question &q : m_answers.asked())
            texts << q.text;
        return texts;
    }

    AnsweringPrompts m_answers;
    Prompts *m_previous = nullptr;
};

void TestImportTga::decodesEveryType_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("pixels");
    QTest::addColumn<QString>("report"); // the box shown, if any

    const QByteArray map24 = bytes({1, 2, 3, 4, 5, 6});
    addRow("type 1: palette indices", tgaHeader(1, 2, 2, 8, 1, 2, 24) + map24 + bytes({0, 1, 1, 0}),
           bytes({0, 1, 1, 0}));
    addRow("type 2, 24 bits: B G R to 255 B G R",
           tgaHeader(2, 1, 2, 24) + bytes({10, 20, 30, 40, 50, 60}),
           bytes({255, 10, 20, 30, 255, 40, 50, 60}));
    addRow("type 2, 32 bits: B G R A to A B G R",
           tgaHeader(2, 2, 1, 32) + bytes({10, 20, 30, 99, 1, 2, 3, 0}),
           bytes({99, 10, 20, 30, 0, 1, 2, 3}));
    addRow("type 3: image id skipped",
           tgaHeader(3, 2, 1, 8, 0, 0, 0, 3) + bytes({'i', 'd', '!', 7, 8}), bytes({7, 8}));
    addRow("type 9: run crossing a row end, then literal",
           tgaHeader(9, 3, 2, 8, 1, 2, 24) + map24 + bytes({0x83, 5, 0x01, 7, 8}),
           bytes({5, 5, 5, 5, 7, 8}));
    addRow("type 11: literal crossing a row end, then run",
           tgaHeader(11, 3, 2, 8) + bytes({0x04, 1, 2, 3, 4, 5, 0x80, 9}),
           bytes({1, 2, 3, 4, 5, 9}));
    addRow("type 10, 24 bits: run across rows, then literal",
           tgaHeader(10, 2, 2, 24) + bytes({0x82, 1, 2, 3, 0x00, 4, 5, 6}),
           bytes({255, 1, 2, 3}).repeated(3) + bytes({255, 4, 5, 6}));
    addRow("type 10, 32 bits: literal across rows",
           tgaHeader(10, 1, 3, 32) + bytes({0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
           bytes({4, 1, 2, 3, 8, 5, 6, 7, 12, 9, 10, 11}));
    addRow("type 1: 16-bit colour map skipped by its real size",
           tgaHeader(1, 2, 1, 8, 1, 3, 16) + bytes({9, 9, 9, 9, 9, 9, 2, 1}), bytes({2, 1}));
    addRow("type 2: colour map of a true-colour file skipped",
           tgaHeader(2, 1, 1, 24, 1, 2, 24) + map24 + bytes({7, 8, 9}), bytes({255, 7, 8, 9}));
    addRow("type 2: no pixels", tgaHeader(2, 0, 5, 24), QByteArray());
    addRow("type 11: run of 128 on 4 pixels", tgaHeader(11, 2, 2, 8) + bytes({0xff, 6}),
           bytes({6, 6, 6, 6}));
    // 126 pixels of 4 bytes beyond the image.
    addRow("type 10, 24 bits: run of 128 on 2 pixels",
           tgaHeader(10, 2, 1, 24) + bytes({0xff, 1, 2, 3}), bytes({255, 1, 2, 3}).repeated(2),
           QStringLiteral("-WAR- Debordement2 d=:504\n"));
    addRow("type 10, 32 bits: literal of 2 on 1 pixel",
           tgaHeader(10, 1, 1, 32) + bytes({0x01, 1, 2, 3, 4, 5, 6, 7, 8}), bytes({4, 1, 2, 3}),
           QStringLiteral("-WAR- Debordement2 d=:4\n"));
}

void TestImportTga::decodesEveryType()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, pixels);
    QFETCH(QString, report);
    QByteArray out("stale");
    TgaHeader header;
    QVERIFY(imTgaRead(file, nullptr, &header, &out));
    QCOMPARE(out, pixels);
    QCOMPARE(out.size(), header.width * header.height * header.decodedPixelBytes());
    QCOMPARE(askedTexts(), report.isEmpty() ? QStringList() : QStringList{report});
    m_answers.forget();
}

void TestImportTga::paletteEntries()
{
    unsigned char palette[TgaPaletteSize];
    QByteArray out;
    // 24-bit entries get alpha 255.
    QVERIFY(imTgaRead(tgaHeader(1, 1, 1, 8, 1, 2, 24) + bytes({1, 2, 3, 4, 5, 6, 1}), palette,
                      nullptr, &out));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(palette), 11),
             bytes({255, 1, 2, 3, 0, 255, 4, 5, 6, 0, 0}));
    // 32-bit entries carry their alpha.
    QVERIFY(imTgaRead(tgaHeader(1, 1, 1, 8, 1, 1, 32) + bytes({1, 2, 3, 77, 0}), palette, nullptr,
                      &out));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(palette), 5), bytes({77, 1, 2, 3, 0}));
    // Only 256 entries are kept, but the pixels are read after all 300.
    QByteArray map;
    for (int i = 0; i < 300; ++i)
        map += bytes({i & 255, 0, 0});
    QVERIFY(
        imTgaRead(tgaHeader(1, 1, 1, 8, 1, 300, 24) + map + bytes({42}), palette, nullptr, &out));
    QCOMPARE(out, bytes({42}));
    QCOMPARE(int(palette[5 * 255 + 1]), 255);
    // A 16-bit map is skipped, so the palette is all zero.
    QVERIFY(imTgaRead(tgaHeader(1, 1, 1, 8, 1, 2, 16) + bytes({9, 9, 9, 9, 0}), palette, nullptr,
                      &out));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(palette), TgaPaletteSize).count('\0'),
             TgaPaletteSize);
}

void TestImportTga::silentReadShowsNothing()
{
    QByteArray out;
    QVERIFY(!imTgaRead(tgaHeader(4, 1, 1, 8), nullptr, nullptr, &out, TgaReport::Silent));
    QVERIFY(!imTgaRead(tgaHeader(10, 4, 1, 32) + bytes({0x83}), nullptr, nullptr, &out,
                       TgaReport::Silent));
    // The overrun warning is kept quiet as well.
    QVERIFY(imTgaRead(tgaHeader(10, 1, 1, 24) + bytes({0x81, 1, 2, 3}), nullptr, nullptr, &out,
                      TgaReport::Silent));
}

void TestImportTga::loadFillsInfo()
{
    QTemporaryDir dir;
    QByteArray file = tgaHeader(11, 3, 2, 8) + bytes({0x85, 1});
    file[8] = 7;  // x origin 7
    file[11] = 1; // y origin 256
    const QString path = dir.filePath(QStringLiteral("grey é.tga"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();

    TgaImageInfo info;
    QByteArray pixels;
    QVERIFY(vdLoadImageTga(path, &info, nullptr, &pixels));
    QCOMPARE((QList<int>{info.kind, info.width, info.height, info.xOrigin, info.yOrigin}),
             (QList<int>{1, 3, 2, 7, 256}));
    QCOMPARE(pixels, QByteArray(6, '\1'));

    // A file that is not there is not an error worth a box.
    QVERIFY(!vdLoadImageTga(dir.filePath(QStringLiteral("none.tga")), &info, nullptr, &pixels));
    QVERIFY(pixels.isEmpty());
}

void TestImportTga::truevisionFilesDecodeAlike_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("kind");
    // Run-length and uncompressed files of the same picture; the colour-mapped pair has
    // 16-bit colour maps, which must be skipped for the pixels to line up.
    QTest::newRow("type 9 / type 1, 16-bit map") << "CCM8.TGA"
                                                 << "UCM8.TGA" << 1;
    QTest::newRow("type 11 / type 3") << "CBW8.TGA"
                                      << "UBW8.TGA" << 1;
    // The 32-bit file has the same colours with alpha 0: compare B, G, R only.
    QTest::newRow("type 10, 24 / 32 bits") << "CTC24.TGA"
                                           << "CTC32.TGA" << 2;
}

void TestImportTga::truevisionFilesDecodeAlike()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, kind);
    TgaImageInfo a;
    TgaImageInfo b;
    QByteArray pa;
    QByteArray pb;
    QVERIFY(vdLoadImageTga(dataDir() + QStringLiteral("/tga/") + first, &a, nullptr, &pa));
    QVERIFY(vdLoadImageTga(dataDir() + QStringLiteral("/tga/") + second, &b, nullptr, &pb));
    QCOMPARE(a.kind, kind);
    QCOMPARE(pa.size(), 128 * 128 * (kind == 1 ? 1 : 4)); // 128 by 128
    if (kind == 2) {
        for (int i = 0; i < pa.size(); i += 4) {
            QCOMPARE(pa.at(i), char(255));
            QCOMPARE(pb.at(i), char(0));
            pa[i] = pb[i] = 0;
        }
    }
    QCOMPARE(pa, pb);
    QVERIFY(pa.count(pa.at(0)) < pa.size()); // a picture, not one flat colour
}

// Each tests/data/illegal/tga-*.tga beside a .expected file holding the box text the read
// must show (trimmed); an empty expectation means a clean read. Every read returns to us.
void TestImportTga::illegalFilesGiveTheirReport()
{
    const QDir illegal(dataDir() + QStringLiteral("/illegal"));
    const QStringList files = illegal.entryList({QStringLiteral("tga-*.tga")}, QDir::Files);
    QVERIFY(files.size() >= 40);
    for (const QString &name : files) {
        m_answers.forget();
        const QString expected =
            QString::fromUtf8(readFile(illegal.filePath(name + QStringLiteral(".expected"))))
                .trimmed();
        QByteArray pixels;
        TgaHeader header;
        const bool ok = imTgaRead(readFile(illegal.filePath(name)), nullptr, &header, &pixels);
        QStringList shown;
        for (const QString &text : askedTexts())
            shown << text.trimmed();
        QVERIFY2(shown.size() <= 1, qPrintable(name));
        QVERIFY2(shown.value(0) == expected,
                 qPrintable(name + QStringLiteral(" gave: ") + shown.value(0)));
        QVERIFY2(ok == !expected.startsWith(QLatin1String("-ERR-")), qPrintable(name));
        if (ok)
            QCOMPARE(pixels.size(), header.width * header.height * header.decodedPixelBytes());
        else
            QVERIFY2(pixels.isEmpty(), qPrintable(name));
    }
    m_answers.forget();
}

QTEST_GUILESS_MAIN(TestImportTga)
#include "tst_import_tga.moc"
