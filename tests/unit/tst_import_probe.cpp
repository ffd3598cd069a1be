// Image probing: sizes from PNG, TGA and PSD files, the first cell of a sequence on disk and
// the zero image written before it.
#include "import/ImageProbe.h"
#include "import/TgaReader.h"
#include "support/AnsweringPrompts.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

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

QByteArray psdHeader(int version, int width, int height)
{
    QByteArray h("8BPS");
    h += char(0);
    h += char(version);
    h += QByteArray(6, '\0');
    h += QByteArray::fromHex("0003");
    for (int v : {height, width})
        h += char(v >> 24), h += char(v >> 16), h += char(v >> 8), h += char(v);
    h += QByteArray::fromHex("00080003");
    return h;
}

// A small image whose pixels are not zero, in the given format.
QImage colouredImage(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 255));
    if (format == QImage::Format_Indexed8) {
        image = image.convertToFormat(format, {qRgb(1, 2, 3), qRgb(200, 100, 50)});
        image.fill(1);
        return image;
    }
    return image.convertToFormat(format);
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

quint32 bigEndian32(const QByteArray &data, int at)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(data.at(at + i));
    return v;
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
    void zeroPngKeepsExistingFrameZero();
    void zeroPngFailures();
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
    QTest::addColumn<QByteArray>("content"); // empty: copy the file of that name from tests/data
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        colouredImage(7, 5, QImage::Format_ARGB32).save(&buffer, "PNG");
    }
    QTest::newRow("png") << "a.png" << png << true << 7 << 5;
    QTest::newRow("png content under a tga name") << "b.tga" << png << true << 7 << 5;
    QTest::newRow("tga, type 10") << "tga/CTC24.TGA" << QByteArray() << true << 128 << 128;
    QTest::newRow("tga, type 9 with 16-bit map")
        << "tga/CCM8.TGA" << QByteArray() << true << 128 << 128;
    // Type 2 headers with no image id look like icons to Qt's icon reader.
    QTest::newRow("tga, type 2 with no id")
        << "t.tga" << tgaHeader(2, 3, 2, 24) + QByteArray(18, 9) << true << 3 << 2;
    QTest::newRow("tga header only: pixels missing")
        << "c.tga" << tgaHeader(2, 3, 2, 24) << true << 3 << 2;
    QTest::newRow("tga, 16-bit pixels")
        << "d.tga" << tgaHeader(2, 3, 2, 16) + QByteArray(12, 1) << false << 0 << 0;
    QTest::newRow("tga, colour-mapped without map")
        << "e.tga" << tgaHeader(1, 3, 2, 8) << false << 0 << 0;
    QTest::newRow("tga, colour map of 15 bits")
        << "f.tga" << tgaHeader(3, 3, 2, 8, 1, 1, 15) << false << 0 << 0;
    QTest::newRow("tga, type 4") << "g.tga" << tgaHeader(4, 3, 2, 8) << false << 0 << 0;
    QTest::newRow("tga, short header") << "h.tga" << QByteArray(17, '\2') << false << 0 << 0;
    QTest::newRow("psd, height stored first")
        << "psd/1layer.psd" << QByteArray() << true << 101 << 55;
    QTest::newRow("psd, indexed") << "psd/4x4_8bit_index_color.psd" << QByteArray() << true << 4
                                  << 4;
    QTest::newRow("psd, large document header")
        << "i.psd" << psdHeader(2, 300, 200) << true << 300 << 200;
    QTest::newRow("psd, version 3") << "j.psd" << psdHeader(3, 300, 200) << false << 0 << 0;
    QTest::newRow("psd, wrong signature") << "k.psd"
                                          << "8BPX" + psdHeader(1, 3, 3).mid(4) << false << 0 << 0;
    QTest::newRow("text named png") << "l.png" << QByteArray("not an image") << false << 0 << 0;
}

void TestImportProbe::imageSizes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, found);
    QFETCH(int, width);
    QFETCH(int, height);
    QTemporaryDir dir;
    const QString path =
        content.isEmpty() ? dataDir() + QLatin1Char('/') + name : dir.filePath(name);
    if (!content.isEmpty())
        QVERIFY(writeFile(path, content));
    int w = -1;
    int h = -1;
    QCOMPARE(ImageSize(path, &w, &h), found);
    if (found) {
        QCOMPARE(w, width);
        QCOMPARE(h, height);
    }
    const QString ext = name.section(QLatin1Char('.'), -1).toLower();
    if (ext == QLatin1String("tga") && !content.startsWith("\x89PNG")) {
        w = h = -1;
        QCOMPARE(TgaImageSize(path, &w, &h), found);
        if (found)
            QCOMPARE(QSize(w, h), QSize(width, height));
    }
    if (ext == QLatin1String("psd"))
        QCOMPARE(PsdImageSize(path, &w, &h), found);
    QVERIFY(!ImageSize(dir.filePath(QStringLiteral("missing.png")), &w, &h));
}

void TestImportProbe::firstCell_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");

    QTest::newRow("lowest of three") << QStringList{"a0003.png", "a0001.png", "a0010.png"} << "a"
                                     << "png" << 1 << "a0001.png";
    QTest::newRow("key ending in digits and underscore")
        << QStringList{"a_v2_0002.png", "a_v2_0001.png", "a_v3_0000.png"} << "a_v2_"
        << "png" << 1 << "a_v2_0001.png";
    QTest::newRow("a name without digits is no cell") << QStringList{"a.png"} << "a"
                                                      << "png" << -1 << "";
    QTest::newRow("other key") << QStringList{"b0001.png", "ab0001.png"} << "a"
                               << "png" << -1 << "";
    QTest::newRow("case ignored, name kept as on disk")
        << QStringList{"A0005.PNG", "a0007.png"} << "a"
        << "png" << 5 << "A0005.PNG";
    QTest::newRow("jpg is no cell") << QStringList{"a0001.jpg"} << "a"
                                    << "jpg" << -1 << "";
    QTest::newRow("other extension") << QStringList{"a0001.png"} << "a"
                                     << "tga" << -1 << "";
    QTest::newRow("tga cells") << QStringList{"s01.tga", "s02.tga"} << "s"
                               << "TGA" << 1 << "s01.tga";
    QTest::newRow("numbers from 9999 up") << QStringList{"a10000.png", "a9999.png"} << "a"
                                          << "png" << 9999 << "";
    QTest::newRow("number too long for any integer")
        << QStringList{"a99999999999999999999999.png", "a0002.png"} << "a"
        << "png" << 2 << "a0002.png";
    QTest::newRow("equal numbers: first name") << QStringList{"a001.png", "a0001.png"} << "a"
                                               << "png" << 1 << "a0001.png";
    QTest::newRow("wildcard characters in the key")
        << QStringList{"sh[1]*?_0003.png", "sh1_0001.png"} << "sh[1]*?_"
        << "png" << 3 << "sh[1]*?_0003.png";
    QTest::newRow("all digits, empty key") << QStringList{"0004.psd", "x0001.psd"} << ""
                                           << "psd" << 4 << "0004.psd";
    QTest::newRow("empty folder") << QStringList() << "a"
                                  << "png" << -1 << "";
}

void TestImportProbe::firstCell()
{
    QFETCH(QStringList, files);
    QFETCH(QString, key);
    QFETCH(QString, ext);
    QFETCH(int, number);
    QFETCH(QString, name);
    QTemporaryDir dir;
    for (const QString &file : files)
        QVERIFY(writeFile(dir.filePath(file), "x"));
    QVERIFY(QDir(dir.path()).mkdir(key + QStringLiteral("0000.") + ext)); // folders never count
    QString out = QStringLiteral("stale");
    QCOMPARE(GetFirstCellFile(dir.path(), key, ext, &out), number);
    QCOMPARE(out, name);
}

void TestImportProbe::zeroPng_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("firstCell");
    QTest::addColumn<QString>("zero");
    QTest::addColumn<int>("format");

    QTest::newRow("four digits") << QStringList{"a0003.png", "a0001.png", "a0010.png"} << "a"
                                 << "a0001.png"
                                 << "a0000.png" << int(QImage::Format_ARGB32);
    QTest::newRow("two digits") << QStringList{"a01.png"} << "a"
                                << "a01.png"
                                << "a00.png" << int(QImage::Format_RGB32);
    QTest::newRow("one digit") << QStringList{"a1.png"} << "a"
                               << "a1.png"
                               << "a0.png" << int(QImage::Format_Grayscale8);
    QTest::newRow("five digits give one zero") << QStringList{"a00001.png"} << "a"
                                               << "a00001.png"
                                               << "a0.png" << int(QImage::Format_ARGB32);
    QTest::newRow("name case kept") << QStringList{"A_0001.png", "A_0002.png"} << "a_"
                                    << "A_0001.png"
                                    << "A_0000.png" << int(QImage::Format_ARGB32);
    QTest::newRow("indexed") << QStringList{"p0002.png"} << "p"
                             << "p0002.png"
                             << "p0000.png" << int(QImage::Format_Indexed8);
}

void TestImportProbe::zeroPng()
{
    QFETCH(QStringList, files);
    QFETCH(QString, key);
    QFETCH(QString, firstCell);
    QFETCH(QString, zero);
    QFETCH(int, format);
    QTemporaryDir dir;
    for (int i = 0; i < files.size(); ++i) {
        // Sizes differ, so the zero image must take the first cell's.
        const QImage image = colouredImage(6 + i, 4, QImage::Format(format));
        QVERIFY(image.save(dir.filePath(files.at(i)), "PNG"));
    }
    QString ext = QStringLiteral("png");
    QString out;
    QCOMPARE(MakeZeroImage(dir.path(), key, &ext, &out), 0);
    QCOMPARE(out, firstCell);
    QCOMPARE(ext, QStringLiteral("png"));

    const QImage first(dir.filePath(firstCell));
    const QImage image(dir.filePath(zero));
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), first.size());
    QCOMPARE(image.format(), first.format());
    QCOMPARE(image.hasAlphaChannel(), first.hasAlphaChannel());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.format() == QImage::Format_Indexed8)
                QCOMPARE(image.pixelIndex(x, y), 0);
            else
                QCOMPARE(image.pixel(x, y) & (image.hasAlphaChannel() ? 0xffffffffu : 0xffffffu),
                         0u);
        }
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), files.size() + 1);
}

void TestImportProbe::zeroPngKeepsExistingFrameZero()
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
}

void TestImportProbe::zeroPngFailures()
{
    QTemporaryDir dir;
    QString ext = QStringLiteral("png");
    QString out;
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("a"), &ext, &out), 1);
    QVERIFY(out.isEmpty());

    QVERIFY(writeFile(dir.filePath(QStringLiteral("b0001.png")), "\x89PNG broken"));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("b"), &ext, &out), 11);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("b0000.png"))));

    // A folder where the zero image should go: it cannot be saved.
    QVERIFY(colouredImage(2, 2, QImage::Format_ARGB32).save(dir.filePath("c0001.png")));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("c0000.png")));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("c"), &ext, &out), 21);
}

void TestImportProbe::zeroTga_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<int>("result");

    const QByteArray map24 = QByteArray::fromHex("010203040506");
    QTest::newRow("type 1, 24-bit map")
        << tgaHeader(1, 3, 2, 8, 1, 2, 24) + map24 + QByteArray(6, '\1') << 0;
    QTest::newRow("type 2, 24 bits") << tgaHeader(2, 3, 2, 24) + QByteArray(18, '\7') << 0;
    // 400 pixels: three runs of 128 and one of 16.
    QTest::newRow("type 10, 32 bits")
        << tgaHeader(10, 200, 2, 32) +
               QByteArray::fromHex("ff01020304ff01020304ff010203048f01020304")
        << 0;
    QTest::newRow("type 11") << tgaHeader(11, 3, 2, 8) + QByteArray::fromHex("8509") << 0;
    QTest::newRow("type 9, 16-bit map, real file") << readFile(dataDir() + "/tga/CCM8.TGA") << 0;
    QTest::newRow("pixels missing") << tgaHeader(2, 3, 2, 24) + QByteArray(17, '\7') << 11;
    QTest::newRow("16-bit pixels") << tgaHeader(2, 3, 2, 16) + QByteArray(12, '\7') << 11;
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
    const QString zeroPath = dir.filePath(QStringLiteral("S00.TGA"));
    if (result != 0) {
        QVERIFY(!QFile::exists(zeroPath));
        return;
    }
    TgaHeader source;
    QByteArray sourcePixels;
    unsigned char sourcePalette[TgaPaletteSize];
    QVERIFY(imTgaRead(cell, sourcePalette, &source, &sourcePixels));
    TgaHeader zero;
    QByteArray zeroPixels;
    unsigned char zeroPalette[TgaPaletteSize];
    const QByteArray zeroFile = readFile(zeroPath);
    QVERIFY(imTgaRead(zeroFile, zeroPalette, &zero, &zeroPixels));
    QCOMPARE(zero.width, source.width);
    QCOMPARE(zero.height, source.height);
    QCOMPARE(zero.pixelDepth, source.pixelDepth);
    QCOMPARE(zero.decodedPixelBytes(), source.decodedPixelBytes());
    QCOMPARE(zero.descriptor, source.descriptor);
    QCOMPARE(zero.colorMapType, source.colorMapType);
    QCOMPARE(zeroFile.mid(TgaHeaderSize, int(zero.colorMapBytes())),
             cell.mid(TgaHeaderSize + source.idLength, int(source.colorMapBytes())));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(zeroPalette), TgaPaletteSize),
             QByteArray(reinterpret_cast<char *>(sourcePalette), TgaPaletteSize));
    QByteArray zeros(sourcePixels.size(), '\0');
    for (int i = 0; source.pixelDepth == 24 && i < zeros.size(); i += 4)
        zeros[i] = char(255); // no alpha in the file: opaque black
    QCOMPARE(zeroPixels, zeros);
    QVERIFY(zeroFile.size() < TgaHeaderSize + zero.colorMapBytes() + sourcePixels.size());
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
    QCOMPARE(zero.left(26), cell.left(26));
    QCOMPARE(int(bigEndian32(zero, 26)), colourModeBytes);
    QCOMPARE(zero.mid(30, colourModeBytes), cell.mid(30, colourModeBytes));
    int at = 30 + colourModeBytes;
    QCOMPARE(bigEndian32(zero, at), 0u);     // no resources
    QCOMPARE(bigEndian32(zero, at + 4), 0u); // no layers
    QCOMPARE(zero.mid(at + 8, 2), QByteArray::fromHex("0001"));
    at += 10;
    int width = 0;
    int height = 0;
    QVERIFY(PsdImageSize(dir.filePath(QStringLiteral("p0000.psd")), &width, &height));
    const int channels = cell.at(13);
    const int rows = channels * height;
    int packedBytes = 0;
    for (int r = 0; r < rows; ++r)
        packedBytes += (uchar(zero.at(at + 2 * r)) << 8) | uchar(zero.at(at + 2 * r + 1));
    QByteArray unpacked;
    QVERIFY(unpackBits(zero.mid(at + 2 * rows), rows * width, &unpacked));
    QCOMPARE(unpacked, QByteArray(rows * width, '\0'));
    QCOMPARE(zero.size(), at + 2 * rows + packedBytes);

    // The zero image is itself a sound first cell; a cut copy of the source is not.
    QVERIFY(writeFile(dir.filePath(QStringLiteral("q0001.psd")), zero));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("q"), &ext, &out), 0);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("r0001.psd")), cell.left(cell.size() - 10)));
    QCOMPARE(MakeZeroImage(dir.path(), QStringLiteral("r"), &ext, &out), 11);
}

QTEST_GUILESS_MAIN(TestImportProbe)
#include "tst_import_probe.moc"
