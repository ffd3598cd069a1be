// Image probing: sizes from PNG, TGA and PSD files, the first cell of a sequence on disk and
// the zero image written before it.
#include "import/ImageProbe.h"
#include "import/TgaReader.h"
#include "support/AnsweringPrompts.h"

#include "FileSizeLimit.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

namespace {

QString dataDir()
{
    return qEnvironmentVariable("CELLKIT_SOURCE_DIR") + QStringLiteral("/tests/data");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray tgaHeader(int type, int width, int height, int depth, int mapType = 0, int mapLength = 0,
                     int mapBits = 0)
{
    QByteArray h(TgaHeaderSize, '\0');
    h[1] = char(mapType);
    h[2] = char(type);
    h[5] = char(mapLength);
    h[7] = char(mapBits);
    h[12] = char(width);
    h[14] = char(height);
    h[16] = char(depth);
    return h;
}

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

} // namespace

class TestImportProbe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_previous = Prompts::install(&m_answers); }
    void cleanupTestCase() { Prompts::install(m_previous); }
    void init() { m_answers.forget(); }
    // No probe or zero image shows a box, whatever it met.
    void cleanup() { QCOMPARE(m_answers.asked().size(), 0); }

    void imageSizes_data();
    void imageSizes();
    void firstCell_data();
    void firstCell();
    void zeroPng_data();
    void zeroPng();
    void zeroPngKeepsFrameZeroOrFails();
    void zeroImageCutShortIsReported();
    void zeroTga_data();
    void zeroTga();
    void zeroPsd_data();
    void zeroPsd();

private:
    AnsweringPrompts m_answers;
    Prompts *m_previous = nullptr;
};

void TestImportProbe::imageSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: the file of that name in tests/data
    QTest::addColumn<QSize>("size");         // invalid: not found

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    colouredImage(7, 5, QImage::Format_ARGB32).save(&buffer, "PNG");
    const QSize none;
    QTest::newRow("png content under a tga name") << "b.tga" << png << QSize(7, 5);
    QTest::newRow("tga, type 10") << "tga/CTC24.TGA" << QByteArray() << QSize(128, 128);
    // Type 2 headers with no image id look like icons to Qt's icon reader.
    QTest::newRow("tga, type 2 with no id")
        << "t.tga" << tgaHeader(2, 3, 2, 24) + QByteArray(18, 9) << QSize(3, 2);
    // Header-only sizes: any depth, once the file is long enough for its pixels.
    QTest::newRow("tga, 16 bits, real file") << "tga/UTC16.TGA" << QByteArray() << QSize(128, 128);
    QTest::newRow("tga, 16 bits, run-length, real file")
        << "tga/CTC16.TGA" << QByteArray() << QSize(128, 128);
    QTest::newRow("tga, 15-bit pixels")
        << "d.tga" << tgaHeader(2, 3, 2, 15) + QByteArray(12, 1) << QSize(3, 2);
    QTest::newRow("tga, pixels cut short")
        << "c.tga" << tgaHeader(2, 3, 2, 24) + QByteArray(17, 1) << none;
    QTest::newRow("tga, run-length too short")
        << "e.tga" << tgaHeader(10, 200, 1, 24) + "\xff" << none;
    QTest::newRow("tga, type 4") << "f.tga" << tgaHeader(4, 3, 2, 8) + QByteArray(6, 1) << none;
    QTest::newRow("tga, no depth") << "g.tga" << tgaHeader(3, 3, 2, 0) + QByteArray(6, 1) << none;
    QTest::newRow("tga, short header") << "h.tga" << QByteArray(17, '\2') << none;
    QTest::newRow("psd, height stored first") << "psd/1layer.psd" << QByteArray() << QSize(101, 55);
    QByteArray psd = readFile(dataDir() + "/psd/1layer.psd");
    psd[5] = 2;
    QTest::newRow("psd, large document") << "i.psd" << psd << QSize(101, 55);
    psd[5] = 3;
    QTest::newRow("psd, version 3") << "j.psd" << psd << none;
    QTest::newRow("text named png") << "l.png" << QByteArray("not an image") << none;
}

void TestImportProbe::imageSizes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    const QString path = content.isEmpty() ? dataDir() + '/' + name : dir.filePath(name);
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));
    int w = -1;
    int h = -1;
    QCOMPARE(ImageSize(path, &w, &h), size.isValid());
    if (size.isValid())
        QCOMPARE(QSize(w, h), size);
    if (name.endsWith(QLatin1String(".tga"), Qt::CaseInsensitive) && !content.startsWith("\x89PNG"))
        QCOMPARE(TgaImageSize(path, &w, &h), size.isValid());
    if (name.endsWith(QLatin1String(".psd")))
        QCOMPARE(PsdImageSize(path, &w, &h), size.isValid());
    QVERIFY(!ImageSize(dir.filePath(QStringLiteral("missing.png")), &w, &h));
}

void TestImportProbe::firstCell_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");

    QTest::newRow("lowest of three")
        << QStringList{"a0003.png", "a0001.png", "a0010.png"} << "a" << 1 << "a0001.png";
    QTest::newRow("key ending in digits")
        << QStringList{"a_v2_0002.png", "a_v2_0001.png", "a_v3_0000.png"} << "a_v2_" << 1
        << "a_v2_0001.png";
    QTest::newRow("no digits, other key")
        << QStringList{"a.png", "b0001.png", "ab0001.png"} << "a" << -1 << "";
    QTest::newRow("case ignored, name kept")
        << QStringList{"A0005.PNG", "a0007.png"} << "a" << 5 << "A0005.PNG";
    QTest::newRow("numbers from 9999 up")
        << QStringList{"a10000.png", "a9999.png"} << "a" << 9999 << "";
    QTest::newRow("number too long for any integer")
        << QStringList{"a99999999999999999999999.png", "a0002.png"} << "a" << 2 << "a0002.png";
    QTest::newRow("equal numbers: first name")
        << QStringList{"a001.png", "a0001.png"} << "a" << 1 << "a0001.png";
    QTest::newRow("wildcard characters in the key")
        << QStringList{"sh[1]*?_0003.png", "sh1_0001.png"} << "sh[1]*?_" << 3 << "sh[1]*?_0003.png";
    QTest::newRow("all digits, empty key")
        << QStringList{"0004.png", "x0001.png"} << "" << 4 << "0004.png";
}

void TestImportProbe::firstCell()
{
    QFETCH(QStringList, files);
    QFETCH(QString, key);
    QFETCH(int, number);
    QFETCH(QString, name);
    QTemporaryDir dir;
    for (const QString &file : files)
        QVERIFY(writeFile(dir.filePath(file), "x"));
    QVERIFY(QDir(dir.path()).mkdir(key + QStringLiteral("0000.png"))); // folders never count
    QString out = QStringLiteral("stale");
    QCOMPARE(GetFirstCellFile(dir.path(), key, QStringLiteral("png"), &out), number);
    QCOMPARE(out, name);
}

void TestImportProbe::zeroPng_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("zero");
    QTest::addColumn<int>("format");

    QTest::newRow("four digits") << QStringList{"a0003.png", "a0001.png"} << "a"
                                 << "a0000.png" << int(QImage::Format_ARGB32);
    QTest::newRow("five digits give one zero") << QStringList{"a00001.png"} << "a"
                                               << "a0.png" << int(QImage::Format_Grayscale8);
    QTest::newRow("indexed, name case kept") << QStringList{"P_0002.png", "P_0001.png"} << "p_"
                                             << "P_0000.png" << int(QImage::Format_Indexed8);
}

void TestImportProbe::zeroPng()
{
    QFETCH(QStringList, files);
    QFETCH(QString, key);
    QFETCH(QString, zero);
    QFETCH(int, format);
    QTemporaryDir dir;
    // Sizes differ, so the zero image must take the first cell's.
    for (int i = 0; i < files.size(); ++i)
        QVERIFY(colouredImage(6 + i, 4, QImage::Format(format)).save(dir.filePath(files.at(i))));
    QString ext = QStringLiteral("png");
    QString out;
    QCOMPARE(MakeZeroImage(dir.path(), key, &ext, &out), 0);
    QCOMPARE(out, files.last());

    const QImage first(dir.filePath(out));
    const QImage image(dir.filePath(zero));
    QCOMPARE(image.size(), first.size());
    QCOMPARE(image.format(), first.format());
    const bool indexed = image.format() == QImage::Format_Indexed8;
    const quint32 mask = image.hasAlphaChannel() ? 0xffffffffu : 0xffffffu;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(indexed ? uint(image.pixelIndex(x, y)) : image.pixel(x, y) & mask, 0u);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), files.size() + 1);
}

void TestImportProbe::zeroPngKeepsFrameZeroOrFails()
{
    QTemporaryDir dir;
    const QImage red = colouredImage(3, 3, QImage::Format_ARGB32);
    QVERIFY(red.save(dir.filePath(QStringLiteral("a0000.png"))));
    QVERIFY(red.save(dir.filePath(QStringLiteral("a0001.png"))));
    QString ext = QStringLiteral("png");
    QString out;
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("a"), &ext, &out), 0);
    QCOMPARE(out, QStringLiteral("a0000.png"));
    QCOMPARE(QImage(dir.filePath(out)).pixel(1, 1), red.pixel(1, 1));

    out.clear();
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("z"), &ext, &out), 1);
    QVERIFY(out.isEmpty());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("b0001.png")), "\x89PNG broken"));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("b"), &ext, &out), 11);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("b0000.png"))));
    // A folder where the zero image should go: it cannot be saved.
    QVERIFY(red.save(dir.filePath("c0001.png")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("c0000.png")));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("c"), &ext, &out), 21);
}

// A disk that fills up while the zero image is written: result 21, the file and the reason
// given, and nothing left behind.
void TestImportProbe::zeroImageCutShortIsReported()
{
    QTemporaryDir dir;
    // 200 x 200 pixels in 313 runs of one value; its zero image takes 200 rows of two runs.
    QByteArray cell = tgaHeader(10, 200, 200, 32);
    for (int i = 0; i < 313; ++i)
        cell += QByteArray::fromHex("ff01020304");
    QVERIFY(writeFile(dir.filePath(QStringLiteral("t0001.tga")), cell));
    QString ext = QStringLiteral("tga");
    QString out;
    QString why;
    int result = 0;
    {
        const FileSizeLimit limit(1024);
        result = MakeZeroImage(dir.path(), QStringLiteral("t"), &ext, &out, &why);
    }
    QCOMPARE(result, 21);
    QVERIFY2(why.startsWith(dir.filePath(QStringLiteral("t0000.tga"))), qPrintable(why));
    QVERIFY2(why.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(why));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("t0001.tga")});
}

void TestImportProbe::zeroTga_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<int>("result");

    QTest::newRow("type 2, 24 bits") << tgaHeader(2, 3, 2, 24) + QByteArray(18, '\7') << 0;
    // 400 pixels: three runs of 128 and one of 16.
    QTest::newRow("type 10, 32 bits")
        << tgaHeader(10, 200, 2, 32) +
               QByteArray::fromHex("ff01020304ff01020304ff010203048f01020304")
        << 0;
    QTest::newRow("type 9, 16-bit map, real file") << readFile(dataDir() + "/tga/CCM8.TGA") << 0;
    QTest::newRow("pixels missing") << tgaHeader(2, 3, 2, 24) + QByteArray(17, '\7') << 11;
}

void TestImportProbe::zeroTga()
{
    QFETCH(QByteArray, cell);
    QFETCH(int, result);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("S01.TGA")), cell));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("S02.TGA")), cell));
    QString ext = QStringLiteral("tga");
    QString out;
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("s"), &ext, &out), result);
    QCOMPARE(out, QStringLiteral("S01.TGA"));
    QCOMPARE(ext, QStringLiteral("TGA"));
    const QByteArray zeroFile = readFile(dir.filePath(QStringLiteral("S00.TGA")));
    if (result != 0) {
        QVERIFY(zeroFile.isEmpty());
        return;
    }
    TgaHeader zero;
    QByteArray pixels;
    QVERIFY(imTgaRead(zeroFile, nullptr, &zero, &pixels));
    // Colour map, size, depth and origin as in the cell; the map copied; black pixels, packed.
    QCOMPARE(zeroFile.mid(3, 5) + zeroFile.mid(12, 6), cell.mid(3, 5) + cell.mid(12, 6));
    const int mapBytes = int(zero.colorMapBytes());
    QCOMPARE(zeroFile.mid(TgaHeaderSize, mapBytes), cell.mid(TgaHeaderSize + cell.at(0), mapBytes));
    QByteArray black(pixels.size(), '\0');
    for (int i = 0; zero.pixelDepth == 24 && i < black.size(); i += 4)
        black[i] = char(255); // no alpha in the file: opaque black
    QCOMPARE(pixels, black);
    QVERIFY(zeroFile.size() < TgaHeaderSize + mapBytes + pixels.size());
}

void TestImportProbe::zeroPsd_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("colourModeBytes");
    QTest::newRow("rgb, run-length") << "1layer.psd" << 0;
    QTest::newRow("indexed, colour table kept") << "4x4_8bit_index_color.psd" << 768;
}

void TestImportProbe::zeroPsd()
{
    QFETCH(QString, source);
    QFETCH(int, colourModeBytes);
    QTemporaryDir dir;
    const QByteArray cell = readFile(dataDir() + QStringLiteral("/psd/") + source);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("p0001.psd")), cell));
    QString ext = QStringLiteral("psd");
    QString out;
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("p"), &ext, &out), 0);

    const QByteArray zero = readFile(dir.filePath(QStringLiteral("p0000.psd")));
    // Header and colour table as in the cell; no resources, no layers, run-length pixels.
    QCOMPARE(zero.left(30 + colourModeBytes), cell.left(30 + colourModeBytes));
    const int at = 40 + colourModeBytes;
    QCOMPARE(zero.mid(at - 10, 10), QByteArray::fromHex("00000000000000000001"));
    int width = 0;
    int height = 0;
    QVERIFY(PsdImageSize(dir.filePath(QStringLiteral("p0000.psd")), &width, &height));
    const int rows = cell.at(13) * height;
    QByteArray unpacked;
    QVERIFY(unpackBits(zero.mid(at + 2 * rows), rows * width, &unpacked));
    QCOMPARE(unpacked, QByteArray(rows * width, '\0'));

    // The zero image is itself a sound first cell; a cut copy of the source is not.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("q0001.psd")), zero));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("q"), &ext, &out), 0);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("r0001.psd")), cell.left(cell.size() - 10)));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("r"), &ext, &out), 11);
}

QTEST_GUILESS_MAIN(TestImportProbe)
#include "tst_import_probe.moc"
