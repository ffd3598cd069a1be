#pragma once
// Files for the tests: written with their folders, read back whole, the test data of the
// source tree, and media reduced to what the readers look at.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QtEndian>

#include <utility>

// <source tree>/tests/data/<relative>
inline QString testData(const QString &relative)
{
    return qEnvironmentVariable("CELLKIT_SOURCE_DIR") + QStringLiteral("/tests/data/") + relative;
}

inline bool writeFile(const QString &path, const QByteArray &bytes = QByteArray())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "<missing>" when the file cannot be read, so a missing file never equals an empty one.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeImage(const QString &path, QSize size = QSize(8, 6))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && image.save(path);
}

// A TGA header: image type, size, pixel depth, colour map and image id length.
inline QByteArray tgaHeader(int type, int width, int height, int depth, int mapType = 0,
                            int mapLength = 0, int mapBits = 0, int idLength = 0)
{
    QByteArray h(18, '\0');
    h[0] = char(idLength);
    h[1] = char(mapType);
    h[2] = char(type);
    h[7] = char(mapBits);
    h[16] = char(depth);
    for (auto field : {std::make_pair(5, mapLength), {12, width}, {14, height}}) {
        h[field.first] = char(field.second & 255); // little-endian 16 bits
        h[field.first + 1] = char(field.second >> 8);
    }
    return h;
}

inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, reinterpret_cast<uchar *>(b.data()));
    return b;
}

// A QuickTime file reduced to the movie header its length is read from (time scale 600).
inline QByteArray quickTimeMovie(int seconds)
{
    const QByteArray mvhd = be32(0) + be32(0) + be32(0) + be32(600) + be32(quint32(seconds * 600));
    return be32(16 + mvhd.size()) + "moov" + be32(8 + mvhd.size()) + "mvhd" + mvhd;
}
