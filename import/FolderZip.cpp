#include "import/FolderZip.h"

#include <KZip>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <map>

namespace {

// KZip closes the device it writes to when it is done, and a QSaveFile must not be closed but
// committed: this device hands every write on (checked for its full length, so a disk that cuts
// one short fails the archive) and leaves the commit to us.
class SaveFileDevice : public QIODevice
{
public:
    explicit SaveFileDevice(QSaveFile *file) : m_file(file) {}

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file->size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_file->seek(pos); }
    // Why a write failed ("File too large"); empty while none did.
    QString failure() const { return m_failure; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        qint64 done = 0;
        while (done < length) {
            // After a short write the next one fails with the reason (EFBIG, ENOSPC, EDQUOT).
            const qint64 n = m_file->write(data + done, length - done);
            if (n <= 0) {
                m_failure = m_file->errorString();
                return -1;
            }
            done += n;
        }
        return length;
    }

private:
    QSaveFile *m_file; // not owned
    QString m_failure;
};

// Path inside the archive -> the file on disk, or an empty path for an extra file.
std::map<QString, QString> archiveContent(const QString &folder, const QString &top,
                                          const QVector<ExtraZipFile> &extra)
{
    std::map<QString, QString> content;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        // Bookkeeping of this machine (the record of the copies, a file manager's own files)
        // is no part of what is sent.
        if (!it.fileName().startsWith(QLatin1Char('.')))
            content[top + root.relativeFilePath(file)] = file;
    }
    for (const ExtraZipFile &file : extra)
        content[top + file.first] = QString();
    return content;
}

QString reason(const SaveFileDevice &device, const KZip &zip, const QString &what)
{
    // The disk's own reason ("File too large", "No space left on device") says the most.
    const QString why = device.failure().isEmpty() ? zip.errorString() : device.failure();
    return why.isEmpty() ? what : what + QStringLiteral(": ") + why;
}

} // namespace

bool writeFolderZip(const QString &folder, const QString &zipPath,
                    const QVector<ExtraZipFile> &extra, QString *error)
{
    const QString top = QFileInfo(folder).fileName() + QLatin1Char('/');
    QHash<QString, QByteArray> extraBytes;
    for (const ExtraZipFile &file : extra)
        extraBytes.insert(top + file.first, file.second);

    QSaveFile out(zipPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = out.errorString();
        return false;
    }
    SaveFileDevice device(&out);
    device.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    KZip zip(&device);
    if (!zip.open(QIODevice::WriteOnly)) {
        *error = reason(device, zip, QStringLiteral("the archive cannot be started"));
        return false; // `out` goes without a commit: its temporary file with it
    }
    for (const auto &[name, file] : archiveContent(folder, top, extra)) {
        const bool added = file.isEmpty() ? zip.writeFile(name, extraBytes.value(name))
                                          : zip.addLocalFile(file, name);
        if (!added) {
            *error = reason(device, zip, QStringLiteral("%1 could not be added").arg(name));
            return false;
        }
    }
    if (!zip.close()) {
        *error = reason(device, zip, QStringLiteral("the archive could not be finished"));
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}
