#pragma once
// Reader for the TGA image types 1, 2, 3 (uncompressed) and 9, 10, 11 (run-length encoded).
//
// Types 2 and 10 come out as four bytes per pixel in the order A, B, G, R; types 1, 3, 9, 11 as
// one byte per pixel (palette index or grey). Rows stay in file order. Every fault is reported
// through fatalError() and the read gives no image; it never reads past what the file holds and
// never writes past its buffers.
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

struct TgaHeader
{
    int idLength = 0;
    int colorMapType = 0;
    int imageType = 0;
    int colorMapLength = 0;
    int colorMapEntrySize = 0;
    int xOrigin = 0;
    int yOrigin = 0;
    int width = 0;
    int height = 0;
    int pixelDepth = 0;
};

// 256 entries of A, B, G, R, 0.
constexpr int TgaPaletteSize = 1280;

// Reads the whole file. Returns an empty array when the file cannot be opened or decoded;
// palette (when not null) receives TgaPaletteSize bytes.
QByteArray vdLoadImageTga(const QString &path, TgaImageInfo *info, unsigned char *palette);

// Decodes TGA bytes already in memory (the file reader and the fuzzer share it). ok tells
// success apart from an empty image.
QByteArray imTgaRead(const QByteArray &data, unsigned char *palette, TgaHeader *header, bool *ok);

// Parses the 18-byte header only; false when the data is shorter.
bool readTgaHeader(const QByteArray &data, TgaHeader *header);
