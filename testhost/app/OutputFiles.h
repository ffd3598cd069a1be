#pragma once
// The files cellkit-host writes (dumps, logs, trees, previews, sample scenes): whole or not at
// all, through support/WholeFile, so that a full disk or a quota never leaves a cut file that
// the run reports as written. On failure the file is left as it was and `error` says why.
//
// Example: writeOutputFile(json, "/out/project.json", &error) on a disk with too little room
// returns false with error "No space left on device", and an earlier project.json stays whole.
#include <QByteArray>
#include <QString>

class QImage;

bool writeOutputFile(const QByteArray &bytes, const QString &path, QString *error);
// The image in the format its file name's suffix names ("frame.png": PNG).
bool writeImageFile(const QImage &image, const QString &path, QString *error);
