#pragma once
// Reader for the TGA image types 1, 2, 3 (uncompressed) and 9, 10, 11 (run-length encoded).
//
// Types 2 and 10 come out as four bytes per pixel in the order A, B, G, R (alpha 255 for 24-bit
// files); types 1, 3, 9, 11 as one byte per pixel (palette index or grey). Rows stay in file
// order (a bottom-up file comes out upside down); the origin is only reported.
//
// Example: a 2 x 1 type 10 file at 24 bits holding the packet 0x81 10 20 30 decodes to
// 255 10 20 30 255 10 20 30.
//
// Every fault is reported through fatalError() (or, when asked, not at all) and the read gives
// no image; the reader never reads past the bytes it was given and never writes past its
// buffers, whatever the header claims.
#include <QByteArray>
#include <QString>

struct TgaImageInfo
{
    int kind = 0; // 1: one byte per pixel, 2: four bytes per pixel
    int width = 0;
    int height = 0;
    int xOrigin = 0;
    int yOrigin = 0;
};

// The 18-byte header, little-endian, as stored.
struct TgaHeader
{
    int idLength = 0;
    int colorMapType = 0;
    int imageType = 0;
    int colorMapFirst = 0;
    int colorMapLength = 0;
    int colorMapEntrySize = 0;
    int xOrigin = 0;
    int yOrigin = 0;
    int width = 0;
    int height = 0;
    int pixelDepth = 0;
    int descriptor = 0;

    // Bytes the colour map takes in the file (0 without one).
    qint64 colorMapBytes() const;
    // Bytes per pixel of the decoded image: 4 for types 2 and 10, 1 otherwise.
    int decodedPixelBytes() const { return imageType == 2 || imageType == 10 ? 4 : 1; }
};

// 256 entries of A, B, G, R, 0.
constexpr int TgaPaletteSize = 1280;
constexpr int TgaHeaderSize = 18;

enum class TgaReport {
    Boxes,  // faults shown through fatalError, the overrun warning through warningError
    Silent, // faults only make the read fail
};

// Parses the 18-byte header only; false when the data is shorter.
bool readTgaHeader(const QByteArray &data, TgaHeader *header);

// True when the type, colour map and pixel depth of the header are ones the reader decodes, so
// a file that holds all its bytes would give an image.
bool tgaHeaderSupported(const TgaHeader &header);

// Decodes TGA bytes already in memory (the file reader, the zero images and the fuzzer share
// it). On success pixels receives width x height x decodedPixelBytes() bytes and palette (when
// not null) TgaPaletteSize bytes; header (when not null) receives the header once it was read.
bool imTgaRead(const QByteArray &data, unsigned char *palette, TgaHeader *header,
               QByteArray *pixels, TgaReport report = TgaReport::Boxes);

// Reads and decodes a file. False when it cannot be opened (no report) or cannot be decoded
// (reported as imTgaRead does).
bool vdLoadImageTga(const QString &path, TgaImageInfo *info, unsigned char *palette,
                    QByteArray *pixels);
