#pragma once
// Writes a whole file so that a failure never costs the previous one: the bytes go to a
// temporary file beside it, which replaces the file only once every byte is written. Writes
// are unbuffered and checked one by one: a buffered save can report success after a write cut
// short by a full disk or a size limit, and would then rename a truncated file over the good
// one.
//
// Example: writeWholeFile("/out/MissingFiles.log", text, {}, &error) on a full disk returns
// false with error "No space left on device" and leaves the earlier MissingFiles.log as it was.
#include <QIODevice>
#include <QString>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QIODevice::OpenMode extraMode,
                    QString *error);
