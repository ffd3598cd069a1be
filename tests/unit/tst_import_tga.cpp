// The TGA reader: every image type with its byte order, run-length packets, colour maps, and
// the bad files of tests/data/illegal with the report each one must give.
#include "import/TgaReader.h"

#include "RecordedUser.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class TestImportTga : public QObject
{
    Q_OBJECT

    RecordedUser m_user;

private slots:
    void init() { m_user.forget(); }

    void decodesEveryType_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("pixels");
        QTest::addColumn<QString>("report"); // the box shown, if any
        const auto row = [](const char *name, const QByteArray &file, const QByteArray &pixels,
                            const QString &report = QString()) {
            QTest::newRow(name) << file << pixels << report;
        };
        const QByteArray map24 = bytes({1, 2, 3, 4, 5, 6});
        row("type 1: palette indices",
            tgaHeader(1, 2, 2, 8, 1, 2, 24) + map24 + bytes({0, 1, 1, 0}), bytes({0, 1, 1, 0}));
        row("type 2, 24 bits: B G R to 255 B G R",
            tgaHeader(2, 1, 2, 24) + bytes({10, 20, 30, 40, 50, 60}),
            bytes({255, 10, 20, 30, 255, 40, 50, 60}));
        row("type 3: image id skipped",
            tgaHeader(3, 2, 1, 8, 0, 0, 0, 3) + bytes({'i', 'd', '!', 7, 8}), bytes({7, 8}));
        row("type 9: run crossing a row end, then literal",
            tgaHeader(9, 3, 2, 8, 1, 2, 24) + map24 + bytes({0x83, 5, 0x01, 7, 8}),
            bytes({5, 5, 5, 5, 7, 8}));
        row("type 11: literal crossing a row end, then run",
            tgaHeader(11, 3, 2, 8) + bytes({0x04, 1, 2, 3, 4, 5, 0x80, 9}),
            bytes({1, 2, 3, 4, 5, 9}));
        row("type 10, 32 bits: literal across rows",
            tgaHeader(10, 1, 3, 32) + bytes({0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
            bytes({4, 1, 2, 3, 8, 5, 6, 7, 12, 9, 10, 11}));
        row("type 1: 16-bit colour map skipped by its real size",
            tgaHeader(1, 2, 1, 8, 1, 3, 16) + bytes({9, 9, 9, 9, 9, 9, 2, 1}), bytes({2, 1}));
        // 126 pixels of 4 bytes beyond the image.
        row("type 10, 24 bits: run of 128 on 2 pixels",
            tgaHeader(10, 2, 1, 24) + bytes({0xff, 1, 2, 3}), bytes({255, 1, 2, 3}).repeated(2),
            "-WAR- Debordement2 d=:504\n");
    }
    void decodesEveryType()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, pixels);
        QFETCH(QString, report);
        QByteArray out("stale");
        TgaHeader header;
        QVERIFY(imTgaRead(file, nullptr, &header, &out));
        QCOMPARE(out, pixels);
        QCOMPARE(out.size(), header.width * header.height * header.decodedPixelBytes());
        QCOMPARE(m_user.boxTexts(), report.isEmpty() ? QStringList() : QStringList{report});
    }

    void paletteEntries()
    {
        unsigned char palette[TgaPaletteSize];
        const auto entries = [&palette](int n) {
            return QByteArray(reinterpret_cast<char *>(palette), n);
        };
        QByteArray out;
        // 24-bit entries get alpha 255; 32-bit entries carry their alpha.
        QVERIFY(imTgaRead(tgaHeader(1, 1, 1, 8, 1, 2, 24) + bytes({1, 2, 3, 4, 5, 6, 1}), palette,
                          nullptr, &out));
        QCOMPARE(entries(11), bytes({255, 1, 2, 3, 0, 255, 4, 5, 6, 0, 0}));
        // Only 256 entries are kept, but the pixels are read after all 300.
        QByteArray map;
        for (int i = 0; i < 300; ++i)
            map += bytes({i & 255, 0, 0});
        QVERIFY(imTgaRead(tgaHeader(1, 1, 1, 8, 1, 300, 24) + map + bytes({42}), palette, nullptr,
                          &out));
        QCOMPARE(out, bytes({42}));
        QCOMPARE(int(palette[5 * 255 + 1]), 255);
    }

    // Run-length and uncompressed files of the same picture decode alike; the colour-mapped
    // pair has 16-bit colour maps, which must be skipped for the pixels to line up.
    void truevisionFilesDecodeAlike_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("type 9 / type 1, 16-bit map") << "CCM8.TGA" << QString("UCM8.TGA");
    }
    void truevisionFilesDecodeAlike()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        TgaImageInfo a, b;
        QByteArray pa, pb;
        QVERIFY(vdLoadImageTga(testData("tga/" + first), &a, nullptr, &pa));
        QVERIFY(vdLoadImageTga(testData("tga/" + second), &b, nullptr, &pb));
        QCOMPARE(pa.size(), 128 * 128);
        QCOMPARE(pa, pb);
        QVERIFY(pa.count(pa.at(0)) < pa.size()); // a picture, not one flat colour
    }

    // Each tests/data/illegal/tga-*.tga beside a .expected file holding the box text the read
    // must show (trimmed); an empty expectation means a clean read. Every read returns to us.
    void illegalFilesGiveTheirReport()
    {
        const QDir illegal(testData("illegal"));
        const QStringList files = illegal.entryList({"tga-*.tga"}, QDir::Files);
        QVERIFY(files.size() >= 40);
        for (const QString &name : files) {
            m_user.forget();
            const QString expected =
                QString::fromUtf8(readFile(illegal.filePath(name + ".expected"))).trimmed();
            QByteArray pixels;
            TgaHeader header;
            const bool ok = imTgaRead(readFile(illegal.filePath(name)), nullptr, &header, &pixels);
            const QStringList shown =
                m_user.boxTexts().replaceInStrings(QRegularExpression("^\\s+|\\s+$"), "");
            QVERIFY2(shown.size() <= 1, qPrintable(name));
            QVERIFY2(shown.value(0) == expected, qPrintable(name + " gave: " + shown.value(0)));
            QVERIFY2(ok == !expected.startsWith("-ERR-"), qPrintable(name));
            QCOMPARE(pixels.size(),
                     ok ? header.width * header.height * header.decodedPixelBytes() : 0);
            // Read silently (as the size probe does), the same file shows nothing.
            m_user.forget();
            QCOMPARE(imTgaRead(readFile(illegal.filePath(name)), nullptr, &header, &pixels,
                               TgaReport::Silent),
                     ok);
            QVERIFY2(m_user.prompts.asked().isEmpty(), qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(TestImportTga)
#include "tst_import_tga.moc"
