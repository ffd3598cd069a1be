// Image probing: sizes from PNG, TGA and PSD files, the first cell of a sequence on disk and
// the zero image written before it. No probe shows a box, whatever it met.
#include "import/ImageProbe.h"
#include "import/TgaReader.h"

#include "FileSizeLimit.h"
#include "RecordedUser.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

// A small image whose pixels are not zero, in the given format.
QImage colouredImage(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 255));
    if (format != QImage::Format_Indexed8)
        return image.convertToFormat(format);
    image = image.convertToFormat(format, {qRgb(1, 2, 3), qRgb(200, 100, 50)});
    image.fill(1);
    return image;
}

// Unpacks PackBits rows; false when the data does not hold exactly `expected` bytes.
bool unpackBits(const QByteArray &packed, int expected, QByteArray *out)
{
    for (int i = 0; i < packed.size();) {
        const int n = static_cast<signed char>(packed.at(i++));
        if (n >= 0) {
            *out += packed.mid(i, n + 1);
            i += n + 1;
        } else if (n != -128) {
            *out += QByteArray(1 - n, packed.at(i++));
        }
    }
    return out->size() == expected;
}

// MakeZeroImage over the cells of `key` in dir: its result, and the first cell's name.
int makeZero(const QString &dir, const QString &key, QString ext, QString *firstCell = nullptr)
{
    QString out;
    const int result = MakeZeroImage(dir, key, &ext, &out);
    if (firstCell)
        *firstCell = out;
    return result;
}

} // namespace

class TestImportProbe : public QObject
{
    Q_OBJECT

    RecordedUser m_user;

private slots:
    void cleanup() { QCOMPARE(m_user.prompts.asked().size(), 0); }

    void imageSizes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: the file of that name in tests/data
        QTest::addColumn<QSize>("size");         // invalid: not found
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        colouredImage(7, 5, QImage::Format_ARGB32).save(&buffer, "PNG");
        const auto row = [](const char *name, const QString &file, const QByteArray &content,
                            QSize size) { QTest::newRow(name) << file << content << size; };
        row("png content under a tga name", "b.tga", png, {7, 5});
        // Type 2 headers with no image id look like icons to Qt's icon reader.
        row("tga, type 2 with no id", "t.tga", tgaHeader(2, 3, 2, 24) + QByteArray(18, 9), {3, 2});
        // Header-only sizes: any depth, once the file is long enough for its pixels.
        row("tga, 16 bits, real file", "tga/UTC16.TGA", {}, {128, 128});
        row("tga, pixels cut short", "c.tga", tgaHeader(2, 3, 2, 24) + QByteArray(17, 1), {});
        row("tga, run-length too short", "e.tga", tgaHeader(10, 200, 1, 24) + "\xff", {});
        row("psd, height stored first", "psd/1layer.psd", {}, {101, 55});
        QByteArray psd = readFile(testData("psd/1layer.psd"));
        psd[5] = 3;
        row("psd, version 3", "j.psd", psd, {});
        row("text named png", "l.png", "not an image", {});
    }
    void imageSizes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = content.isEmpty() ? testData(name) : dir.filePath(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(path, content));
        int w = -1;
        int h = -1;
        QCOMPARE(ImageSize(path, &w, &h), size.isValid());
        if (size.isValid())
            QCOMPARE(QSize(w, h), size);
        if (name.endsWith(".tga", Qt::CaseInsensitive) && !content.startsWith("\x89PNG"))
            QCOMPARE(TgaImageSize(path, &w, &h), size.isValid());
        if (name.endsWith(".psd"))
            QCOMPARE(PsdImageSize(path, &w, &h), size.isValid());
        QVERIFY(!ImageSize(dir.filePath("missing.png"), &w, &h));
    }

    void firstCell_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        const auto row = [](const char *name, const QStringList &files, const QString &key,
                            int number, const QString &first) {
            QTest::newRow(name) << files << key << number << first;
        };
        row("lowest of three", {"a0003.png", "a0001.png", "a0010.png"}, "a", 1, "a0001.png");
        row("key ending in digits", {"a_v2_0002.png", "a_v2_0001.png", "a_v3_0000.png"}, "a_v2_", 1,
            "a_v2_0001.png");
        row("case ignored, name kept", {"A0005.PNG", "a0007.png"}, "a", 5, "A0005.PNG");
        row("wildcard characters in the key", {"sh[1]*?_0003.png", "sh1_0001.png"}, "sh[1]*?_", 3,
            "sh[1]*?_0003.png");
    }
    void firstCell()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, key);
        QTemporaryDir dir;
        for (const QString &file : files)
            QVERIFY(writeFile(dir.filePath(file), "x"));
        QVERIFY(QDir(dir.path()).mkdir(key + "0000.png")); // folders never count
        QString out = QStringLiteral("stale");
        QTEST(GetFirstCellFile(dir.path(), key, "png", &out), "number");
        QTEST(out, "name");
    }

    // The zero image takes the first cell's size and format and is all zero; an existing frame
    // 0 is kept; no cell, a broken cell or a folder in the way fail.
    void zeroPng()
    {
        QTemporaryDir dir;
        const QImage indexed = colouredImage(5, 4, QImage::Format_Indexed8);
        QVERIFY(indexed.save(dir.filePath("P_0002.png")) &&
                indexed.save(dir.filePath("P_0001.png")));
        QCOMPARE(makeZero(dir.path(), "p_", "png"), 0);
        const QImage zero(dir.filePath("P_0000.png")); // named as the cells are
        QCOMPARE(zero.size(), indexed.size());
        QCOMPARE(zero.format(), QImage::Format_Indexed8);
        QCOMPARE(zero.pixelIndex(2, 2), 0);
        const QImage red = colouredImage(3, 3, QImage::Format_ARGB32);
        QVERIFY(red.save(dir.filePath("a0000.png")) && red.save(dir.filePath("a0001.png")));
        QString first;
        QCOMPARE(makeZero(dir.path(), "a", "png", &first), 0);
        QCOMPARE(first, QStringLiteral("a0000.png"));
        QCOMPARE(QImage(dir.filePath(first)).pixel(1, 1), red.pixel(1, 1));
        QCOMPARE(makeZero(dir.path(), "z", "png"), 1);
        QVERIFY(writeFile(dir.filePath("b0001.png"), "\x89PNG broken"));
        QCOMPARE(makeZero(dir.path(), "b", "png"), 11);
        QVERIFY(!QFile::exists(dir.filePath("b0000.png")));
        QVERIFY(red.save(dir.filePath("c0001.png")));
        QVERIFY(QDir(dir.path()).mkdir("c0000.png"));
        QCOMPARE(makeZero(dir.path(), "c", "png"), 21);
    }

    // A disk that fills up while the zero image is written: result 21, the file and the reason
    // given, and nothing left behind.
    void zeroImageCutShortIsReported()
    {
        QTemporaryDir dir;
        // 200 x 200 pixels in 313 runs of one value; its zero image takes 200 rows of two runs.
        QByteArray cell = tgaHeader(10, 200, 200, 32);
        for (int i = 0; i < 313; ++i)
            cell += QByteArray::fromHex("ff01020304");
        QVERIFY(writeFile(dir.filePath("t0001.tga"), cell));
        QString ext = QStringLiteral("tga");
        QString out;
        QString why;
        int result = 0;
        {
            const FileSizeLimit limit(1024);
            result = MakeZeroImage(dir.path(), QStringLiteral("t"), &ext, &out, &why);
        }
        QCOMPARE(result, 21);
        QVERIFY2(why.startsWith(dir.filePath("t0000.tga")), qPrintable(why));
        QVERIFY2(why.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(why));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"t0001.tga"});
    }

    void zeroTga_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<int>("result");
        QTest::newRow("type 2, 24 bits") << tgaHeader(2, 3, 2, 24) + QByteArray(18, '\7') << 0;
        QTest::newRow("type 9, 16-bit map, real file") << readFile(testData("tga/CCM8.TGA")) << 0;
        QTest::newRow("pixels missing") << tgaHeader(2, 3, 2, 24) + QByteArray(17, '\7') << 11;
    }
    void zeroTga()
    {
        QFETCH(QByteArray, cell);
        QFETCH(int, result);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("S01.TGA"), cell) &&
                writeFile(dir.filePath("S02.TGA"), cell));
        QString ext = QStringLiteral("tga");
        QString out;
        QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("s"), &ext, &out), result);
        QCOMPARE(out + ext, QStringLiteral("S01.TGATGA"));
        if (result != 0) {
            QVERIFY(!QFile::exists(dir.filePath("S00.TGA")));
            return;
        }
        const QByteArray zeroFile = readFile(dir.filePath("S00.TGA"));
        TgaHeader zero;
        QByteArray pixels;
        QVERIFY(imTgaRead(zeroFile, nullptr, &zero, &pixels));
        // Colour map, size, depth and origin as in the cell; the map copied; black pixels, packed.
        QCOMPARE(zeroFile.mid(3, 5) + zeroFile.mid(12, 6), cell.mid(3, 5) + cell.mid(12, 6));
        const int mapBytes = int(zero.colorMapBytes());
        QCOMPARE(zeroFile.mid(TgaHeaderSize, mapBytes),
                 cell.mid(TgaHeaderSize + cell.at(0), mapBytes));
        QByteArray black(pixels.size(), '\0');
        for (int i = 0; zero.pixelDepth == 24 && i < black.size(); i += 4)
            black[i] = char(255); // no alpha in the file: opaque black
        QCOMPARE(pixels, black);
        QVERIFY(zeroFile.size() < TgaHeaderSize + mapBytes + pixels.size());
    }

    // Header and colour table as in the cell; no resources, no layers, run-length pixels, all
    // zero. The zero image is itself a sound first cell; a cut copy of the source is not.
    void zeroPsd()
    {
        const int colourModeBytes = 768;
        QTemporaryDir dir;
        const QByteArray cell = readFile(testData("psd/4x4_8bit_index_color.psd"));
        QVERIFY(writeFile(dir.filePath("p0001.psd"), cell));
        QCOMPARE(makeZero(dir.path(), "p", "psd"), 0);
        const QByteArray zero = readFile(dir.filePath("p0000.psd"));
        QCOMPARE(zero.left(30 + colourModeBytes), cell.left(30 + colourModeBytes));
        const int at = 40 + colourModeBytes;
        QCOMPARE(zero.mid(at - 10, 10), QByteArray::fromHex("00000000000000000001"));
        int width = 0;
        int height = 0;
        QVERIFY(PsdImageSize(dir.filePath("p0000.psd"), &width, &height));
        const int rows = cell.at(13) * height;
        QByteArray unpacked;
        QVERIFY(unpackBits(zero.mid(at + 2 * rows), rows * width, &unpacked));
        QCOMPARE(unpacked, QByteArray(rows * width, '\0'));
        QVERIFY(writeFile(dir.filePath("q0001.psd"), zero));
        QCOMPARE(makeZero(dir.path(), "q", "psd"), 0);
        QVERIFY(writeFile(dir.filePath("r0001.psd"), cell.left(cell.size() - 10)));
        QCOMPARE(makeZero(dir.path(), "r", "psd"), 11);
    }
};

QTEST_GUILESS_MAIN(TestImportProbe)
#include "tst_import_probe.moc"
