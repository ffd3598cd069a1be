#include "testhost/app/OutputFiles.h"

#include "support/WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

bool writeOutputFile(const QByteArray &bytes, const QString &path, QString *error)
{
    QString why;
    if (writeWholeFile(path, bytes, &why))
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, why);
    return false;
}

bool writeImageFile(const QImage &image, const QString &path, QString *error)
{
    // Encoded in memory first: QImage::save() to a file reports success after a short write.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QByteArray format = QFileInfo(path).suffix().toLatin1();
    if (!image.save(&buffer, format.isEmpty() ? nullptr : format.constData())) {
        *error = QStringLiteral("cannot encode %1 as %2").arg(path, QString::fromLatin1(format));
        return false;
    }
    return writeOutputFile(bytes, path, error);
}
