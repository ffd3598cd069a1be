#include "import/TgaReader.h"

#include "support/Diagnostics.h"

#include <QFile>

#include <cstring>
#include <limits>
#include <new>

namespace {

// Largest pixel buffer we hand out: a QByteArray holds at most an int's worth of bytes.
constexpr qint64 kMaxBufferBytes = std::numeric_limits<int>::max() - 64;
// A run-length packet covers at most this many pixels.
constexpr qint64 kPacketPixels = 128;

int word(const QByteArray &data, int at)
{
    return static_cast<unsigned char>(data.at(at)) |
           (static_cast<unsigned char>(data.at(at + 1)) << 8);
}

int byteAt(const QByteArray &data, int at)
{
    return static_cast<unsigned char>(data.at(at));
}

// One read of one file: walks forward through the bytes (every take is checked against what is
// left) and reports faults the way the caller asked.
class TgaDecoder
{
public:
    TgaDecoder(const QByteArray &data, TgaReport report)
        : m_data(reinterpret_cast<const unsigned char *>(data.constData())), m_size(data.size()),
          m_report(report)
    {}

    bool decode(const TgaHeader &h, unsigned char *palette, QByteArray *pixels);

private:
    // The next count bytes, or null (and nothing consumed) when fewer are left.
    const unsigned char *take(qint64 count)
    {
        if (count < 0 || count > m_size - m_pos)
            return nullptr;
        const unsigned char *p = m_data + m_pos;
        m_pos += count;
        return p;
    }
    qint64 left() const { return m_size - m_pos; }

    bool fail(const char *message)
    {
        if (m_report == TgaReport::Boxes)
            fatalError(message);
        return false;
    }
    bool fail(const char *message, int number)
    {
        if (m_report == TgaReport::Boxes)
            fatalError(message, number);
        return false;
    }
    bool allocate(QByteArray *buffer, qint64 size, const char *message);

    bool readColourMap(const TgaHeader &h, unsigned char *palette);
    bool readUncompressed8(const TgaHeader &h, QByteArray *out);
    bool readUncompressedColour(const TgaHeader &h, QByteArray *out);
    bool readRle8(const TgaHeader &h, QByteArray *out);
    bool readRleColour(const TgaHeader &h, QByteArray *out);
    bool decodeRle8(qint64 pixels, unsigned char *dst);
    bool decodeRleColour(const TgaHeader &h, qint64 pixels, unsigned char *dst, qint64 *overrun);

    const unsigned char *m_data;
    qint64 m_size;
    qint64 m_pos = 0;
    TgaReport m_report;
};

bool TgaDecoder::allocate(QByteArray *buffer, qint64 size, const char *message)
{
    if (size < 0 || size > kMaxBufferBytes)
        return fail(message);
    try {
        *buffer = QByteArray(int(size), Qt::Uninitialized);
    } catch (const std::bad_alloc &) {
        return fail(message);
    }
    return true;
}

bool TgaDecoder::readColourMap(const TgaHeader &h, unsigned char *palette)
{
    const int entry = h.colorMapEntrySize;
    if (entry != 16 && entry != 24 && entry != 32)
        return fail("imTgaRead : Weird number of bits per pixel in color table stored");
    // 16-bit entries are not kept, but skipped by their real size so that the pixels are read
    // from the right place.
    const unsigned char *src = take(h.colorMapBytes());
    if (!src)
        return fail("imTgaRead : lecture palette");
    if (entry == 16 || !palette)
        return true;
    const int bytes = entry / 8;
    const int stored = qMin(h.colorMapLength, 256);
    for (int i = 0; i < stored; ++i, src += bytes) {
        unsigned char *p = palette + 5 * i;
        p[0] = bytes == 4 ? src[3] : 255;
        p[1] = src[0];
        p[2] = src[1];
        p[3] = src[2];
        p[4] = 0;
    }
    return true;
}

bool TgaDecoder::readUncompressed8(const TgaHeader &h, QByteArray *out)
{
    const qint64 pixels = qint64(h.width) * h.height;
    // Checked before allocating, so a lying header on a short file costs nothing.
    const unsigned char *src = take(pixels);
    if (!src)
        return fail("imTgaRead... : bad tga (99)");
    if (!allocate(out, pixels, "-ERR- imReadTga_1and3 : malloc"))
        return false;
    if (pixels > 0)
        std::memcpy(out->data(), src, size_t(pixels));
    return true;
}

bool TgaDecoder::readUncompressedColour(const TgaHeader &h, QByteArray *out)
{
    const int bytes = h.pixelDepth / 8;
    const qint64 pixels = qint64(h.width) * h.height;
    const unsigned char *src = take(pixels * bytes);
    if (!src)
        return fail(bytes == 3 ? "imTgaRead... : bad tga (2)" : "imTgaRead... : bad tga (3)");
    if (!allocate(out, pixels * 4, "-ERR- imReadTga_2 : malloc"))
        return false;
    auto *dst = reinterpret_cast<unsigned char *>(out->data());
    for (qint64 i = 0; i < pixels; ++i, src += bytes, dst += 4) {
        dst[0] = bytes == 4 ? src[3] : 255;
        dst[1] = src[0];
        dst[2] = src[1];
        dst[3] = src[2];
    }
    return true;
}

// Packets of one-byte values. A run or literal reaching past the image is cut at its end: the
// extra values are read (they are part of the file) and dropped. dst may be null, to learn
// where a short file fails without allocating its claimed size.
bool TgaDecoder::decodeRle8(qint64 pixels, unsigned char *dst)
{
    qint64 done = 0;
    while (done < pixels) {
        const unsigned char *head = take(1);
        if (!head)
            return fail("imTgaRead... : bad tga (4)");
        const qint64 count = (*head & 127) + 1;
        const qint64 kept = qMin(count, pixels - done);
        if (*head & 128) {
            const unsigned char *value = take(1);
            if (!value)
                return fail("imTgaRead... : bad tga (5)");
            if (dst)
                std::memset(dst + done, *value, size_t(kept));
        } else {
            const unsigned char *values = take(count);
            if (!values)
                return fail("imTgaRead... : bad tga (6)");
            if (dst)
                std::memcpy(dst + done, values, size_t(kept));
        }
        done += kept;
    }
    return true;
}

// Packets of 24- or 32-bit values stored as A, B, G, R; overrun counts the pixels of the last
// packet that fell beyond the image.
bool TgaDecoder::decodeRleColour(const TgaHeader &h, qint64 pixels, unsigned char *dst,
                                 qint64 *overrun)
{
    const bool deep = h.pixelDepth == 32;
    const int bytes = deep ? 4 : 3;
    const char *badHead = deep ? "imTgaRead... : bad tga (12)" : "imTgaRead... : bad tga (21)";
    const char *badRun = deep ? "imTgaRead... : bad tga (13)" : "imTgaRead... : bad tga (22)";
    const char *badRaw = deep ? "imTgaRead... : bad tga (14)" : "imTgaRead... : bad tga (23)";
    auto store = [deep](unsigned char *to, const unsigned char *px) {
        to[0] = deep ? px[3] : 255;
        to[1] = px[0];
        to[2] = px[1];
        to[3] = px[2];
    };
    qint64 done = 0;
    *overrun = 0;
    while (done < pixels) {
        const unsigned char *head = take(1);
        if (!head)
            return fail(badHead);
        const qint64 count = (*head & 127) + 1;
        const qint64 kept = qMin(count, pixels - done);
        *overrun += count - kept;
        if (*head & 128) {
            const unsigned char *px = take(bytes);
            if (!px)
                return fail(badRun);
            for (qint64 i = 0; dst && i < kept; ++i)
                store(dst + 4 * (done + i), px);
        } else {
            const unsigned char *px = take(count * bytes);
            if (!px)
                return fail(badRaw);
            for (qint64 i = 0; dst && i < kept; ++i)
                store(dst + 4 * (done + i), px + bytes * i);
        }
        done += kept;
    }
    return true;
}

// Fewer bytes than the smallest encoding of the image (all full runs) cannot decode: the read
// is then walked without an output buffer, which gives the same report as a real decode.
bool rleCanFill(qint64 pixels, int valueBytes, qint64 left)
{
    const qint64 packets = (pixels + kPacketPixels - 1) / kPacketPixels;
    return packets <= left / (1 + valueBytes);
}

bool TgaDecoder::readRle8(const TgaHeader &h, QByteArray *out)
{
    const qint64 pixels = qint64(h.width) * h.height;
    if (!rleCanFill(pixels, 1, left())) {
        decodeRle8(pixels, nullptr); // cannot succeed; reports where the data ends
        return false;
    }
    if (!allocate(out, pixels, "-ERR- imReadTga_9and11 : malloc"))
        return false;
    return decodeRle8(pixels, reinterpret_cast<unsigned char *>(out->data()));
}

bool TgaDecoder::readRleColour(const TgaHeader &h, QByteArray *out)
{
    const qint64 pixels = qint64(h.width) * h.height;
    qint64 overrun = 0;
    if (!rleCanFill(pixels, h.pixelDepth / 8, left())) {
        decodeRleColour(h, pixels, nullptr, &overrun); // cannot succeed; reports where it ends
        return false;
    }
    if (!allocate(out, pixels * 4, "-ERR- imReadTga_10 : malloc"))
        return false;
    if (!decodeRleColour(h, pixels, reinterpret_cast<unsigned char *>(out->data()), &overrun))
        return false;
    // The last packet ran past the image: its extra pixels are dropped, but the file is sloppy
    // enough to be worth a word.
    if (overrun > 0 && m_report == TgaReport::Boxes)
        warningError("Debordement2 d=", int(qMin<qint64>(overrun * 4, 0x7fffffff)));
    return true;
}

bool TgaDecoder::decode(const TgaHeader &h, unsigned char *palette, QByteArray *pixels)
{
    const int type = h.imageType;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
        return fail("imTgaRead : type tga non supporte", type);
    if ((type == 1 || type == 9) && h.colorMapType == 0)
        return fail("imTgaRead : non color map");
    take(TgaHeaderSize);
    // The image id is not used; a file too short to hold it is short everywhere after.
    if (!take(h.idLength))
        return fail("imTgaRead... : bad tga (99)");
    if (h.colorMapType != 0 && !readColourMap(h, palette))
        return false;

    const int depth = h.pixelDepth;
    switch (type) {
    case 1:
    case 3:
        if (depth != 8)
            return fail("imReadTga_2 format non supporte");
        return readUncompressed8(h, pixels);
    case 2:
        // 16-bit pixels are not read; other depths would give an undefined image.
        if (depth != 24 && depth != 32)
            return fail("imReadTga_2 format non supporte");
        return readUncompressedColour(h, pixels);
    case 9:
    case 11:
        if (depth != 8)
            return fail("imReadTga_9and11 format non supporte");
        return readRle8(h, pixels);
    default:
        if (depth != 24 && depth != 32)
            return fail("-WAR- imReadTga_10 : Format non supporte");
        return readRleColour(h, pixels);
    }
}

} // namespace

qint64 TgaHeader::colorMapBytes() const
{
    if (colorMapType == 0)
        return 0;
    return qint64(colorMapLength) * ((colorMapEntrySize + 7) / 8);
}

bool readTgaHeader(const QByteArray &data, TgaHeader *header)
{
    if (data.size() < TgaHeaderSize)
        return false;
    header->idLength = byteAt(data, 0);
    header->colorMapType = byteAt(data, 1);
    header->imageType = byteAt(data, 2);
    header->colorMapFirst = word(data, 3);
    header->colorMapLength = word(data, 5);
    header->colorMapEntrySize = byteAt(data, 7);
    header->xOrigin = word(data, 8);
    header->yOrigin = word(data, 10);
    header->width = word(data, 12);
    header->height = word(data, 14);
    header->pixelDepth = byteAt(data, 16);
    header->descriptor = byteAt(data, 17);
    return true;
}

bool tgaHeaderSupported(const TgaHeader &h)
{
    const int entry = h.colorMapEntrySize;
    if (h.colorMapType != 0 && entry != 16 && entry != 24 && entry != 32)
        return false;
    switch (h.imageType) {
    case 1:
    case 9:
        return h.colorMapType != 0 && h.pixelDepth == 8;
    case 3:
    case 11:
        return h.pixelDepth == 8;
    case 2:
    case 10:
        return h.pixelDepth == 24 || h.pixelDepth == 32;
    default:
        return false;
    }
}

bool imTgaRead(const QByteArray &data, unsigned char *palette, TgaHeader *header,
               QByteArray *pixels, TgaReport report)
{
    pixels->clear();
    TgaHeader h;
    if (!readTgaHeader(data, &h)) {
        if (report == TgaReport::Boxes)
            fatalError("imTgaRead... : bad tga (99)");
        return false;
    }
    if (header)
        *header = h;
    if (palette)
        std::memset(palette, 0, TgaPaletteSize);
    TgaDecoder decoder(data, report);
    if (!decoder.decode(h, palette, pixels)) {
        pixels->clear();
        return false;
    }
    return true;
}

bool vdLoadImageTga(const QString &path, TgaImageInfo *info, unsigned char *palette,
                    QByteArray *pixels)
{
    pixels->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TgaHeader h;
    if (!imTgaRead(file.readAll(), palette, &h, pixels))
        return false;
    if (info) {
        info->kind = h.decodedPixelBytes() == 1 ? 1 : 2;
        info->width = h.width;
        info->height = h.height;
        info->xOrigin = h.xOrigin;
        info->yOrigin = h.yOrigin;
    }
    return true;
}
