#include "import/TgaReader.h"

#include "support/Diagnostics.h"

#include <QFile>

#include <cstring>

namespace {

// Reads forward through the file bytes; every read is checked against what is left.
class ByteCursor
{
public:
    explicit ByteCursor(const QByteArray &data) : m_data(data) {}
    bool read(unsigned char *out, qint64 count)
    {
        if (count < 0 || count > m_data.size() - m_pos)
            return false;
        std::memcpy(out, m_data.constData() + m_pos, size_t(count));
        m_pos += count;
        return true;
    }
    bool skip(qint64 count)
    {
        if (count < 0 || count > m_data.size() - m_pos)
            return false;
        m_pos += count;
        return true;
    }
    int byteAt(int offset) const { return static_cast<unsigned char>(m_data.at(offset)); }

private:
    const QByteArray &m_data;
    qint64 m_pos = 0;
};

// Abandons the read: the report, then failure up the chain.
bool fail(const char *message)
{
    fatalError(message);
    return false;
}

bool fail(const char *message, int number)
{
    fatalError(message, number);
    return false;
}

bool allocate(QByteArray &buffer, qint64 size, const char *message)
{
    if (size < 0 || size > 0x7fffffff - 1024)
        return fail(message);
    buffer = QByteArray(int(size), '\0');
    return true;
}

bool readGrey8(ByteCursor &in, const TgaHeader &h, QByteArray &out)
{
    if (h.pixelDepth != 8)
        return fail("imReadTga_2 format non supporte");
    if (!allocate(out, qint64(h.width) * h.height, "-ERR- imReadTga_1and3 : malloc"))
        return false;
    if (!in.read(reinterpret_cast<unsigned char *>(out.data()), out.size()))
        return fail("imTgaRead... : bad tga (99)");
    return true;
}

bool readTrueColour(ByteCursor &in, const TgaHeader &h, QByteArray &out)
{
    if (h.pixelDepth != 24 && h.pixelDepth != 32)
        return fail("imReadTga_2 format non supporte");
    const qint64 pixels = qint64(h.width) * h.height;
    if (!allocate(out, pixels * 4, "-ERR- imReadTga_2 : malloc"))
        return false;
    const int bytes = h.pixelDepth / 8;
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    unsigned char px[4] = {0, 0, 0, 255};
    for (qint64 i = 0; i < pixels; ++i) {
        if (!in.read(px, bytes))
            return fail(bytes == 3 ? "imTgaRead... : bad tga (2)" : "imTgaRead... : bad tga (3)");
        dst[4 * i] = bytes == 4 ? px[3] : 255;
        dst[4 * i + 1] = px[0];
        dst[4 * i + 2] = px[1];
        dst[4 * i + 3] = px[2];
    }
    return true;
}

// Run-length packets of one-byte values. The buffer keeps its one spare row, as callers may
// expect it; a run reaching past the image is cut at the image's end.
bool readRle8(ByteCursor &in, const TgaHeader &h, QByteArray &out)
{
    if (h.pixelDepth != 8)
        return fail("imReadTga_9and11 format non supporte");
    const qint64 pixels = qint64(h.width) * h.height;
    if (!allocate(out, qint64(h.height + 1) * h.width, "-ERR- imReadTga_9and11 : malloc"))
        return false;
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    qint64 done = 0;
    while (done < pixels) {
        unsigned char head = 0;
        if (!in.read(&head, 1))
            return fail("imTgaRead... : bad tga (4)");
        const qint64 count = (head & 127) + 1;
        const qint64 kept = qMin(count, pixels - done);
        if (head & 128) {
            unsigned char value = 0;
            if (!in.read(&value, 1))
                return fail("imTgaRead... : bad tga (5)");
            std::memset(dst + done, value, size_t(kept));
        } else {
            if (!in.read(dst + done, kept) || !in.skip(count - kept))
                return fail("imTgaRead... : bad tga (6)");
        }
        done += kept;
    }
    out.truncate(int(pixels));
    return true;
}

// Run-length packets of 24- or 32-bit values stored as A, B, G, R.
bool readRle32(ByteCursor &in, const TgaHeader &h, QByteArray &out)
{
    if (h.pixelDepth == 16)
        return fail("-WAR- imReadTga_10 : Format non supporte");
    if (h.pixelDepth != 24 && h.pixelDepth != 32)
        return fail("-WAR- imReadTga_10 : Format non supporte");
    const bool deep = h.pixelDepth == 32;
    const char *badHead = deep ? "imTgaRead... : bad tga (12)" : "imTgaRead... : bad tga (21)";
    const char *badRun = deep ? "imTgaRead... : bad tga (13)" : "imTgaRead... : bad tga (22)";
    const char *badRaw = deep ? "imTgaRead... : bad tga (14)" : "imTgaRead... : bad tga (23)";
    const qint64 pixels = qint64(h.width) * h.height;
    if (!allocate(out, pixels * 4, "-ERR- imReadTga_10 : malloc"))
        return false;
    const int bytes = h.pixelDepth / 8;
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    auto store = [&](qint64 at, const unsigned char *px) {
        dst[4 * at] = deep ? px[3] : 255;
        dst[4 * at + 1] = px[0];
        dst[4 * at + 2] = px[1];
        dst[4 * at + 3] = px[2];
    };
    qint64 done = 0;
    qint64 overrun = 0;
    unsigned char px[4] = {0, 0, 0, 255};
    while (done < pixels) {
        unsigned char head = 0;
        if (!in.read(&head, 1))
            return fail(badHead);
        const qint64 count = (head & 127) + 1;
        const qint64 kept = qMin(count, pixels - done);
        overrun += count - kept;
        if (head & 128) {
            if (!in.read(px, bytes))
                return fail(badRun);
            for (qint64 i = 0; i < kept; ++i)
                store(done + i, px);
        } else {
            for (qint64 i = 0; i < count; ++i) {
                if (!in.read(px, bytes))
                    return fail(badRaw);
                if (i < kept)
                    store(done + i, px);
            }
        }
        done += kept;
    }
    // A last packet running past the image is dropped, but worth a word: the file is sloppy.
    if (overrun > 0)
        warningError("Debordement2 d=", int(qMin<qint64>(overrun * 4, 0x7fffffff)));
    return true;
}

bool readColourMap(ByteCursor &in, const TgaHeader &h, unsigned char *palette)
{
    const int entry = h.colorMapEntrySize;
    if (entry != 16 && entry != 24 && entry != 32 && entry != 15)
        return fail("imTgaRead : Weird number of bits per pixel in color table stored");
    if (entry == 15 || entry == 16) {
        // Not kept, but skipped by their real size so the pixels are read from the right place.
        if (!in.skip(qint64(h.colorMapLength) * 2))
            return fail("imTgaRead : lecture palette");
        return true;
    }
    const int bytes = entry / 8;
    QByteArray raw(h.colorMapLength * bytes, '\0');
    if (!in.read(reinterpret_cast<unsigned char *>(raw.data()), raw.size()))
        return fail("imTgaRead : lecture palette");
    const int stored = qMin(h.colorMapLength, 256);
    for (int i = 0; i < stored && palette; ++i) {
        const auto *src = reinterpret_cast<const unsigned char *>(raw.constData()) + i * bytes;
        unsigned char *p = palette + 5 * i;
        p[0] = bytes == 4 ? src[3] : 255;
        p[1] = src[0];
        p[2] = src[1];
        p[3] = src[2];
        p[4] = 0;
    }
    return true;
}

} // namespace

bool readTgaHeader(const QByteArray &data, TgaHeader *header)
{
    if (data.size() < 18)
        return false;
    ByteCursor in(data);
    auto word = [&](int at) { return in.byteAt(at) | (in.byteAt(at + 1) << 8); };
    header->idLength = in.byteAt(0);
    header->colorMapType = in.byteAt(1);
    header->imageType = in.byteAt(2);
    header->colorMapLength = word(5);
    header->colorMapEntrySize = in.byteAt(7);
    header->xOrigin = word(8);
    header->yOrigin = word(10);
    header->width = word(12);
    header->height = word(14);
    header->pixelDepth = in.byteAt(16);
    return true;
}

QByteArray imTgaRead(const QByteArray &data, unsigned char *palette, TgaHeader *header, bool *ok)
{
    *ok = false;
    TgaHeader h;
    if (!readTgaHeader(data, &h)) {
        fatalError("imTgaRead... : bad tga (99)");
        return {};
    }
    if (header)
        *header = h;
    if (palette)
        std::memset(palette, 0, TgaPaletteSize);
    const int type = h.imageType;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) {
        fail("imTgaRead : type tga non supporte", type);
        return {};
    }
    if ((type == 1 || type == 9) && h.colorMapType == 0) {
        fail("imTgaRead : non color map");
        return {};
    }
    ByteCursor in(data);
    in.skip(18);
    if (!in.skip(h.idLength)) {
        fail("imTgaRead... : bad tga (99)");
        return {};
    }
    if (h.colorMapType != 0 && !readColourMap(in, h, palette))
        return {};
    QByteArray pixels;
    bool decoded = false;
    switch (type) {
    case 1:
    case 3:
        decoded = readGrey8(in, h, pixels);
        break;
    case 2:
        decoded = readTrueColour(in, h, pixels);
        break;
    case 9:
    case 11:
        decoded = readRle8(in, h, pixels);
        break;
    default:
        decoded = readRle32(in, h, pixels);
        break;
    }
    if (!decoded)
        return {};
    *ok = true;
    return pixels;
}

QByteArray vdLoadImageTga(const QString &path, TgaImageInfo *info, unsigned char *palette)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    TgaHeader h;
    bool ok = false;
    QByteArray pixels = imTgaRead(data, palette, &h, &ok);
    if (!ok)
        return {};
    if (info) {
        info->kind = (h.imageType == 2 || h.imageType == 10) ? 2 : 1;
        info->width = h.width;
        info->height = h.height;
        info->xOrigin = h.xOrigin;
        info->yOrigin = h.yOrigin;
    }
    return pixels;
}
