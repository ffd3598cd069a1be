#include "scenelist/FileWriting.h"

#include <QSaveFile>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QIODevice::OpenMode extraMode,
                    QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered | extraMode)) {
        *error = file.errorString();
        return false;
    }
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        // A short write is not an error yet: the next one tells why the disk stopped.
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        data += written;
        left -= written;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
