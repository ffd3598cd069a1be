#pragma once
// A folder written into one zip archive, whole or not at all: the archive is written to a
// temporary file beside its place and renamed there only once every byte is on disk, so a full
// disk or a file that cannot be read leaves no archive (and an earlier one as it was).
//
// Example: /out/SC010 holding SC010.aep and Footage/bg.png, with the extra file MISSING.txt,
// gives /out/SC010.zip holding SC010/Footage/bg.png, SC010/MISSING.txt and SC010/SC010.aep.
#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

// A file of the archive that is not on disk: its path inside the folder, and its bytes.
using ExtraZipFile = QPair<QString, QByteArray>;

// Every file below `folder` but dot-files, under the folder's own name, plus `extra`, in name
// order. False, with the reason, when the archive was not made.
bool writeFolderZip(const QString &folder, const QString &zipPath,
                    const QVector<ExtraZipFile> &extra, QString *error);
