#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Writes a file whole or not at all: the bytes go to a temporary file beside the target, and
// only a file that received every byte replaces the old one. A full disk, a quota or a size
// limit leaves the previous file byte for byte and says why.
//
// Example: writing a 6 kB descriptor over SC01-QUILLMARK-GENERATED.xml on a disk with 2 kB
// left: write() keeps going quietly, commit() returns false with the reason "No space left on
// device", and the old descriptor is still there, unchanged.
//
// QSaveFile alone is not enough: a short write of its buffer does not stop its commit() from
// renaming the cut file over the target, so here every write is checked for its full length.
class WholeFile
{
public:
    explicit WholeFile(const QString &path);

    // Queues bytes (written out in large blocks); false once anything has failed.
    bool write(const QByteArray &bytes);
    // Writes what is left and replaces the target; false, with the reason, when any step
    // failed. The temporary file is then removed and the target left untouched.
    bool commit(QString *error = nullptr);

private:
    bool flushPending();

    QSaveFile m_file;
    QByteArray m_pending;
    QString m_failure;
};

// One call for bytes already in memory.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
