#include "import/ImageProbe.h"

#include "import/TgaReader.h"
#include "support/WholeFile.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {

// Frame numbers at or above this one never become the first cell.
constexpr int kNoCell = 9999;

QString nameOf(const QString &path)
{
    const int sep = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(sep + 1);
}

// The text after the last dot; a name without a dot, or whose only dot starts it, has none.
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
    while (n < text.size() && text.at(text.size() - 1 - n) >= QLatin1Char('0') &&
           text.at(text.size() - 1 - n) <= QLatin1Char('9'))
        ++n;
    return n;
}

bool isCellExtension(const QString &lowerExt)
{
    return lowerExt == QLatin1String("png") || lowerExt == QLatin1String("tga") ||
           lowerExt == QLatin1String("psd");
}

QString joinPath(const QString &dir, const QString &name)
{
    return dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
}

quint64 bigEndian(const uchar *p, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

// ---- TGA -----------------------------------------------------------------------------------

// Run-length packets of zeros for one row of count values, each value valueBytes wide: full
// runs of 128 and one shorter run for the rest. Zero images of big frames stay small this way.
QByteArray zeroTgaRow(int count, int valueBytes)
{
    QByteArray row;
    for (int left = count; left > 0; left -= 128) {
        row.append(char(0x80 | (qMin(left, 128) - 1)));
        row.append(QByteArray(valueBytes, '\0'));
    }
    return row;
}

// The first cell's format (size, depth, colour map and descriptor) run-length encoded with every
// pixel 0: transparent black at 32 bits, black at 24, grey or colour index 0 at 8. Packets stop
// at row ends, as the format asks of writers.
bool writeZeroTga(const QString &path, const QByteArray &cell, const TgaHeader &h, QString *error)
{
    QByteArray header = cell.left(TgaHeaderSize);
    header[0] = 0; // no image id
    if (h.imageType < 9)
        header[2] = char(h.imageType + 8);
    WholeFile file(path);
    file.write(header);
    file.write(cell.mid(TgaHeaderSize + h.idLength, int(h.colorMapBytes())));
    const QByteArray row = zeroTgaRow(h.width, h.pixelDepth / 8);
    for (int y = 0; y < h.height; ++y)
        file.write(row);
    return file.commit(error);
}

int zeroTgaFrom(const QString &firstPath, const QString &zeroPath, QString *error)
{
    QFile file(firstPath);
    if (!file.open(QIODevice::ReadOnly))
        return 11;
    const QByteArray cell = file.readAll();
    TgaHeader h;
    QByteArray pixels;
    // A cell that does not decode is not loadable; quietly, as the import must go on.
    if (!imTgaRead(cell, nullptr, &h, &pixels, TgaReport::Silent))
        return 11;
    return writeZeroTga(zeroPath, cell, h, error) ? 0 : 21;
}

// ---- PSD -----------------------------------------------------------------------------------

constexpr int kPsdHeaderSize = 26;

struct PsdLayout
{
    QByteArray header; // the 26 bytes as stored
    int version = 0;   // 1 PSD, 2 large document (PSB)
    quint64 channels = 0;
    quint64 height = 0;
    quint64 width = 0;
    quint64 depth = 0;
    QByteArray colourModeData; // indexed and duotone files need theirs
    quint64 rowBytes() const { return (width * depth + 7) / 8; }
};

bool parsePsdHeader(const QByteArray &head, PsdLayout *psd)
{
    if (head.size() < kPsdHeaderSize || !head.startsWith("8BPS"))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    psd->header = head.left(kPsdHeaderSize);
    psd->version = int(bigEndian(p + 4, 2));
    psd->channels = bigEndian(p + 12, 2);
    psd->height = bigEndian(p + 14, 4);
    psd->width = bigEndian(p + 18, 4);
    psd->depth = bigEndian(p + 22, 2);
    const quint64 maxSide = psd->version == 2 ? 300000 : 30000;
    return (psd->version == 1 || psd->version == 2) && psd->width >= 1 && psd->height >= 1 &&
           psd->width <= maxSide && psd->height <= maxSide;
}

// Reads a length field and moves past that many bytes (keeping them when asked); the whole
// section must be in the file.
bool skipSection(QFile &file, int lengthBytes, QByteArray *keep = nullptr)
{
    const QByteArray field = file.read(lengthBytes);
    if (field.size() != lengthBytes)
        return false;
    const quint64 length =
        bigEndian(reinterpret_cast<const uchar *>(field.constData()), lengthBytes);
    if (length > quint64(file.size() - file.pos()))
        return false;
    if (keep) {
        *keep = file.read(qint64(length));
        return quint64(keep->size()) == length;
    }
    return file.seek(file.pos() + qint64(length));
}

// Bytes of the shortest run-length row of rowBytes bytes: a two-byte packet per 128 bytes.
quint64 minimumPackedRow(quint64 rowBytes)
{
    return 2 * ((rowBytes + 127) / 128);
}

// A Photoshop file counts as loadable when its header is sound and every section, the image
// data included, is really there: raw data of the full size, or run-length rows whose byte
// counts are possible and fit in the file. The pixels themselves are not decoded.
bool readPsdLayout(const QString &path, PsdLayout *psd)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !parsePsdHeader(file.read(kPsdHeaderSize), psd))
        return false;
    const bool large = psd->version == 2;
    if (psd->channels < 1 || psd->channels > 56 ||
        (psd->depth != 1 && psd->depth != 8 && psd->depth != 16 && psd->depth != 32))
        return false;
    if (!skipSection(file, 4, &psd->colourModeData) || !skipSection(file, 4) ||
        !skipSection(file, large ? 8 : 4))
        return false;
    const QByteArray compressionField = file.read(2);
    if (compressionField.size() != 2)
        return false;
    const quint64 rows = psd->channels * psd->height;
    const quint64 left = quint64(file.size() - file.pos());
    switch (bigEndian(reinterpret_cast<const uchar *>(compressionField.constData()), 2)) {
    case 0:
        return rows * psd->rowBytes() <= left;
    case 1: {
        const int countBytes = large ? 4 : 2;
        if (rows * countBytes > left)
            return false;
        const QByteArray table = file.read(qint64(rows * countBytes));
        const auto *p = reinterpret_cast<const uchar *>(table.constData());
        const quint64 shortest = minimumPackedRow(psd->rowBytes());
        quint64 total = 0;
        for (quint64 r = 0; r < rows; ++r) {
            const quint64 count = bigEndian(p + r * countBytes, countBytes);
            if (count < shortest)
                return false;
            total += count;
        }
        return total <= left - rows * countBytes;
    }
    case 2:
    case 3:
        return left > 0; // zip data: present, not checked further
    default:
        return false;
    }
}

void appendBigEndian(QByteArray &out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char(value >> (8 * i)));
}

// One row of zero bytes in PackBits: runs of 128 (header -127) and one shorter run or literal.
QByteArray zeroPsdRow(quint64 rowBytes)
{
    QByteArray row;
    for (quint64 left = rowBytes; left > 0; left -= qMin<quint64>(left, 128)) {
        const int n = int(qMin<quint64>(left, 128));
        row.append(n == 1 ? char(0) : char(257 - n));
        row.append('\0');
    }
    return row;
}

// A flat file of the first cell's size, depth, channels and colour mode, no resources and no
// layers, image data of zeros in run-length rows.
bool writeZeroPsd(const QString &path, const PsdLayout &psd, QString *error)
{
    const bool large = psd.version == 2;
    const int countBytes = large ? 4 : 2;
    const QByteArray row = zeroPsdRow(psd.rowBytes());
    const quint64 rows = psd.channels * psd.height;
    QByteArray out = psd.header;
    appendBigEndian(out, quint64(psd.colourModeData.size()), 4);
    out.append(psd.colourModeData);
    appendBigEndian(out, 0, 4);             // image resources
    appendBigEndian(out, 0, large ? 8 : 4); // layer and mask information
    appendBigEndian(out, 1, 2);             // run-length image data
    WholeFile file(path);
    file.write(out);
    QByteArray count;
    appendBigEndian(count, quint64(row.size()), countBytes);
    for (quint64 r = 0; r < rows; ++r)
        file.write(count);
    for (quint64 r = 0; r < rows; ++r)
        file.write(row);
    return file.commit(error);
}

int zeroPsdFrom(const QString &firstPath, const QString &zeroPath, QString *error)
{
    PsdLayout psd;
    if (!readPsdLayout(firstPath, &psd))
        return 11;
    return writeZeroPsd(zeroPath, psd, error) ? 0 : 21;
}

// ---- anything Qt reads and writes (PNG) ----------------------------------------------------

int zeroQtImageFrom(const QString &firstPath, const QString &zeroPath, const QString &format,
                    QString *error)
{
    QImage image;
    if (!image.load(firstPath))
        return 11;
    // Raw pixel value 0 in the image's own format: transparent black with alpha, black
    // without, colour index 0 when indexed.
    image.fill(0u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format.toLatin1().constData())) {
        if (error)
            *error = QStringLiteral("cannot encode the image as %1").arg(format);
        return 21;
    }
    return writeWholeFile(zeroPath, bytes, error) ? 0 : 21;
}

} // namespace

qint64 tgaMinimumFileSize(const TgaHeader &h)
{
    const bool known =
        (h.imageType >= 1 && h.imageType <= 3) || (h.imageType >= 9 && h.imageType <= 11);
    if (!known || h.width <= 0 || h.height <= 0 || h.pixelDepth <= 0)
        return -1;
    const qint64 pixels = qint64(h.width) * h.height;
    const qint64 pixelBytes = (h.pixelDepth + 7) / 8;
    const qint64 data =
        h.imageType < 9 ? pixels * pixelBytes : (pixels + 127) / 128 * (1 + pixelBytes);
    return TgaHeaderSize + h.idLength + h.colorMapBytes() + data;
}

bool TgaImageSize(const QString &path, int *width, int *height)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TgaHeader h;
    if (!readTgaHeader(file.read(TgaHeaderSize), &h))
        return false;
    const qint64 needed = tgaMinimumFileSize(h);
    if (needed < 0 || file.size() < needed)
        return false;
    *width = h.width;
    *height = h.height;
    return true;
}

bool PsdImageSize(const QString &path, int *width, int *height)
{
    QFile file(path);
    PsdLayout psd;
    if (!file.open(QIODevice::ReadOnly) || !parsePsdHeader(file.read(kPsdHeaderSize), &psd))
        return false;
    *width = int(psd.width);
    *height = int(psd.height);
    return true;
}

// Formats whose signature is strong enough that the size in their header can stand for a full
// load. Weaker ones (a TGA of type 2 passes for an icon) are loaded, so a misread header
// cannot give a size.
bool headerSizeIsReliable(const QByteArray &format)
{
    return format == "png" || format == "jpeg" || format == "jpg" || format == "gif" ||
           format == "bmp";
}

bool ImageSize(const QString &path, int *width, int *height)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (reader.canRead()) {
        QSize size;
        if (headerSizeIsReliable(reader.format()))
            size = reader.size();
        if (!size.isValid())
            size = reader.read().size();
        if (size.isValid() && !size.isEmpty()) {
            *width = size.width();
            *height = size.height();
            return true;
        }
    }
    const QString ext = nameExtension(nameOf(path)).toLower();
    if (ext == QLatin1String("tga"))
        return TgaImageSize(path, width, height);
    if (ext == QLatin1String("psd"))
        return PsdImageSize(path, width, height);
    return false;
}

int GetFirstCellFile(const QString &dir, const QString &key, const QString &ext, QString *outName)
{
    outName->clear();
    const QString lowerKey = key.toLower();
    const QString lowerExt = ext.toLower();
    int best = kNoCell;
    bool accepted = false;
    // Every name of the folder is looked at once; only the ones of this key and extension count.
    QDirIterator it(dir.isEmpty() ? QStringLiteral(".") : dir,
                    QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const QString extension = nameExtension(name).toLower();
        if (extension != lowerExt || !isCellExtension(extension))
            continue;
        const QString fileKey = nameKey(name);
        const int digits = trailingDigits(fileKey);
        if (digits == 0 || fileKey.left(fileKey.size() - digits).toLower() != lowerKey)
            continue;
        accepted = true;
        bool fits = false;
        const qlonglong number = fileKey.right(digits).toLongLong(&fits);
        if (!fits || number > best)
            continue;
        // Equal numbers (a0001.png and a001.png) keep the first name in name order, so the
        // answer does not depend on the order the folder lists in.
        if (number < best || outName->isEmpty() || name < *outName) {
            best = int(number);
            *outName = name;
        }
    }
    if (best == kNoCell)
        outName->clear();
    return accepted ? best : -1;
}

int MakeZeroImage(const QString &dir, const QString &key, QString *ext, QString *outName,
                  QString *error)
{
    const int first = GetFirstCellFile(dir, key, *ext, outName);
    if (first == 0)
        return 0;
    if (first < 0)
        return 1;
    const QString firstPath = joinPath(dir, *outName);
    const QString fileKey = nameKey(*outName);
    const int digits = trailingDigits(fileKey);
    const QString extension = nameExtension(*outName);
    *ext = extension;
    // The zero keeps the padding of the cell number when it is 2 to 4 digits wide.
    const QString zeros =
        digits >= 2 && digits <= 4 ? QString(digits, QLatin1Char('0')) : QStringLiteral("0");
    const QString zeroPath =
        joinPath(dir, fileKey.left(fileKey.size() - digits) + zeros + QLatin1Char('.') + extension);
    const QString format = extension.toLower();
    QString why;
    int result = 0;
    if (format == QLatin1String("tga"))
        result = zeroTgaFrom(firstPath, zeroPath, &why);
    else if (format == QLatin1String("psd"))
        result = zeroPsdFrom(firstPath, zeroPath, &why);
    else
        result = zeroQtImageFrom(firstPath, zeroPath, format, &why);
    if (result == 21 && error)
        *error = QStringLiteral("%1: %2").arg(zeroPath, why);
    return result;
}
