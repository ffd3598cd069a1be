#pragma once
// Image file services of the scene import: sizes read from headers, the first cell of a
// sequence on disk and the all-zero image ("[file]0000.[ext]") placed before it.
//
// Example: a folder holding A_0003.png, A_0001.png and A_0010.png, asked for the key "a_" and
// the extension "png": the first cell is A_0001.png (number 1) and the zero image A_0000.png,
// an all-zero PNG of the same size and pixel format, is written beside it.
#include <QSize>
#include <QString>

struct TgaHeader;

// Size of any image Qt can read, with header fallbacks for TGA and PSD files; false when
// nothing readable is there.
bool ImageSize(const QString &path, int *width, int *height);
// Size from the TGA header alone, for every image type 1, 2, 3, 9, 10 and 11 with a width, a
// height and a pixel depth, in a file long enough for its declared pixels (16-bit files the
// reader does not decode included). Shows no message.
bool TgaImageSize(const QString &path, int *width, int *height);
// The fewest bytes a TGA file with this header holds when its image is whole: header, image
// id, colour map and the pixels, every pixel stored for types 1 to 3, at least one run-length
// packet per 128 pixels for types 9 to 11. -1 when the header declares no such image.
qint64 tgaMinimumFileSize(const TgaHeader &header);
// Size from a Photoshop file header (signature "8BPS", version 1, or 2 for large documents).
bool PsdImageSize(const QString &path, int *width, int *height);

// Lowest frame number of the sequence key in dir among png, tga and psd cells of the extension
// ext (key and extension compared ignoring case); -1 when none. outName receives that cell's
// file name as it is on disk. Cells numbered 9999 or more count as found but give 9999 and an
// empty name.
int GetFirstCellFile(const QString &dir, const QString &key, const QString &ext, QString *outName);

// Writes the zero image beside the first cell: 0 written or not needed, 1 no cell, 11 the first
// cell cannot be loaded, 21 the zero image cannot be saved (error, when given, then names the
// file and the reason, and a zero image already there is left as it was). ext receives the
// cell's extension.
int MakeZeroImage(const QString &dir, const QString &key, QString *ext, QString *outName,
                  QString *error = nullptr);
