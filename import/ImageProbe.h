#pragma once
// Image file services of the scene import: sizes read from headers, the first cell of a
// sequence on disk and the all-zero image ("[file]0000.[ext]") placed before it.
#include <QSize>
#include <QString>

// Size of any image Qt can read, with a TGA fallback; false when nothing readable is there.
bool ImageSize(const QString &path, int *width, int *height);
// Size from the TGA header, for files whose type and depth the TGA reader accepts.
bool TgaImageSize(const QString &path, int *width, int *height);
// Size from a Photoshop file header (signature "8BPS").
bool PsdImageSize(const QString &path, int *width, int *height);

// Lowest frame number of the sequence key in dir (png, tga or psd cells); -1 when none.
// outName receives the lower-cased file name of that cell.
int GetFirstCellFile(const QString &dir, const QString &key, const QString &ext, QString *outName);

// Writes the zero image beside the first cell: 0 written or not needed, 1 no cell, 11 the first
// cell cannot be loaded, 21 the zero image cannot be saved. ext receives the cell's extension.
int MakeZeroImage(const QString &dir, const QString &key, QString *ext, QString *outName);
