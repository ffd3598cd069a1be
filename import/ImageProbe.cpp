#include "import/ImageProbe.h"

#include "import/TgaReader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>

namespace {

QString nameExtension(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

QString nameKey(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? name : name.left(dot);
}

int trailingDigits(const QString &text)
{
    int n = 0;
    while (n < text.size() && text.at(text.size() - 1 - n).isDigit()
           && text.at(text.size() - 1 - n).unicode() < 128)
        ++n;
    return n;
}

quint32 bigEndian32(const uchar *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

// A TGA of the image's size, type 2 (32-bit) or type 3/1 for 8-bit images, all pixels zero.
bool writeZeroTga(const QString &path, const QImage &image)
{
    const bool indexed = image.depth() == 8;
    QByteArray header(18, '\0');
    header[2] = char(indexed ? 3 : 2);
    header[12] = char(image.width() & 255);
    header[13] = char(image.width() >> 8);
    header[14] = char(image.height() & 255);
    header[15] = char(image.height() >> 8);
    header[16] = char(indexed ? 8 : 32);
    header[17] = char(indexed ? 0 : 8); // 8 alpha bits
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qint64 bytes = qint64(image.width()) * image.height() * (indexed ? 1 : 4);
    file.write(header);
    file.write(QByteArray(int(bytes), '\0'));
    return file.commit();
}

void put32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v >> 8)).append(char(v));
}

// A flat RGB(A) Photoshop file of the image's size, all channels zero, raw image data.
bool writeZeroPsd(const QString &path, const QImage &image)
{
    const quint16 channels = image.hasAlphaChannel() ? 4 : 3;
    QByteArray out("8BPS");
    put16(out, 1);
    out.append(QByteArray(6, '\0'));
    put16(out, channels);
    put32(out, quint32(image.height()));
    put32(out, quint32(image.width()));
    put16(out, 8); // bits per channel
    put16(out, 3); // RGB
    put32(out, 0); // colour mode data
    put32(out, 0); // image resources
    put32(out, 0); // layers and masks
    put16(out, 0); // raw data
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(out);
    file.write(QByteArray(int(qint64(image.width()) * image.height() * channels), '\0'));
    return file.commit();
}

} // namespace

bool TgaImageSize(const QString &path, int *width, int *height)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TgaHeader h;
    if (!readTgaHeader(file.read(18), &h))
        return false;
    // Only what the reader would decode has a size; the rest is "not found" as with a full read.
    const bool typeOk = (h.imageType == 1 || h.imageType == 3 || h.imageType == 9
                         || h.imageType == 11) ? h.pixelDepth == 8
                        : (h.imageType == 2 || h.imageType == 10)
                            && (h.pixelDepth == 24 || h.pixelDepth == 32);
    if (!typeOk || ((h.imageType == 1 || h.imageType == 9) && h.colorMapType == 0))
        return false;
    *width = h.width;
    *height = h.height;
    return true;
}

bool PsdImageSize(const QString &path, int *width, int *height)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("8BPS"))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    *height = int(bigEndian32(p + 14));
    *width = int(bigEndian32(p + 18));
    return true;
}

bool ImageSize(const QString &path, int *width, int *height)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.canRead() ? reader.size() : QSize();
    if (size.isValid()) {
        *width = size.width();
        *height = size.height();
        return true;
    }
    if (reader.canRead()) { // a plugin that knows the format but not the size up front
        const QImage image = reader.read();
        if (!image.isNull()) {
            *width = image.width();
            *height = image.height();
            return true;
        }
    }
    const QString ext = nameExtension(path.section(QLatin1Char('/'), -1)).toLower();
    if (ext == QLatin1String("tga"))
        return TgaImageSize(path, width, height);
    if (ext == QLatin1String("psd"))
        return PsdImageSize(path, width, height);
    return false;
}

int GetFirstCellFile(const QString &dir, const QString &key, const QString &ext, QString *outName)
{
    outName->clear();
    const QStringList matches = QDir(dir).entryList(
        {key + QLatin1String("*.") + ext}, QDir::Files | QDir::Hidden | QDir::System);
    const QString lowerKey = key.toLower();
    int best = 9999;
    bool accepted = false;
    for (const QString &match : matches) {
        const QString name = match.toLower();
        const QString extension = nameExtension(name);
        if (extension != QLatin1String("png") && extension != QLatin1String("tga")
            && extension != QLatin1String("psd"))
            continue;
        const QString fileKey = nameKey(name);
        const int digits = trailingDigits(fileKey);
        if (digits == 0 || fileKey.left(fileKey.size() - digits) != lowerKey)
            continue;
        accepted = true;
        const int number = fileKey.right(digits).toInt();
        if (number < best) {
            best = number;
            *outName = name;
        }
    }
    return accepted ? best : -1;
}

int MakeZeroImage(const QString &dir, const QString &key, QString *ext, QString *outName)
{
    const int first = GetFirstCellFile(dir, key, *ext, outName);
    if (first == 0)
        return 0;
    if (first < 0)
        return 1;
    const QString firstPath = dir + QLatin1Char('/') + *outName;
    const QString fileKey = nameKey(*outName);
    const int digits = trailingDigits(fileKey);
    const QString extension = nameExtension(*outName);
    *ext = extension;
    QString zeros = QStringLiteral("0");
    if (digits >= 2 && digits <= 4)
        zeros = QString(digits, QLatin1Char('0'));
    const QString zeroPath = (dir.isEmpty() ? QString() : dir + QLatin1Char('/'))
        + fileKey.left(fileKey.size() - digits) + zeros + QLatin1Char('.') + extension;

    QImage image;
    if (extension == QLatin1String("psd") || extension == QLatin1String("tga")) {
        int w = 0, h = 0;
        // Qt may lack a reader for these; the header is enough for an all-zero copy.
        if (!image.load(firstPath)) {
            const bool sized = extension == QLatin1String("psd") ? PsdImageSize(firstPath, &w, &h)
                                                                 : TgaImageSize(firstPath, &w, &h);
            if (!sized || w <= 0 || h <= 0)
                return 11;
            image = QImage(w, h, QImage::Format_ARGB32);
        }
    } else if (!image.load(firstPath)) {
        return 11;
    }
    image.fill(0);
    bool saved = false;
    if (extension == QLatin1String("tga"))
        saved = writeZeroTga(zeroPath, image);
    else if (extension == QLatin1String("psd"))
        saved = writeZeroPsd(zeroPath, image);
    else
        saved = image.save(zeroPath, extension.toLatin1().constData());
    return saved ? 0 : 21;
}
