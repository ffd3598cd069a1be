#pragma once
// Sample scene folders for the demo and the tests: what a studio's render farm leaves behind.
#include <QString>
#include <QStringList>

// Writes the sample scenes under root (created if needed; existing samples are rewritten).
// Returns the scene folder names, or an empty list with *error set.
QStringList writeSampleScenes(const QString &root, QString *error);
