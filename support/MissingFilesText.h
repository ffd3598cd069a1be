#pragma once

#include <QString>

// The lines of the missing-files log: the "Create Error Log" export (MissingFiles.log) and the
// MISSING.txt of a collected scene are written alike, so that the tools that read one read both.
//
// Example: scene SC030 whose character "zed" was looked for as zed.png and not found:
//     SC : ====== SC030 ======\r\n
//     KO : zed => zed.png\r\n

// The line that opens a scene.
QString missingFilesSceneLine(const QString &scene);
// The line of one element not found: its name (tree column "Element") and the file looked for
// (column "File Name").
QString missingFilesElementLine(const QString &element, const QString &fileName);
// Whether an element of the scene tree is listed: a Movie, Sound, Ima, Asset or Code element
// (type index 3 to 7) that was not found. DocSize and information elements never are.
bool isListedAsMissing(int typeIndex, bool found);
