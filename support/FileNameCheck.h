#pragma once

#include <QString>

// Names taken from scene lists and production values end up as one file or folder name below
// an output folder (the scene folder, its project, its zip, an export's file name). Such a
// name must stay one name on every system the studio uses: no separator, no drive, nothing
// Windows refuses, so that a list cell can never write outside the folder chosen for it.
//
// Example: "SC010" and "SC 010 (retake)" are fine; "../../esc" (a separator), "C:esc" (a
// drive and a forbidden ':'), "SC010." (a trailing dot), "NUL" and "com1.aep" (names Windows
// keeps for devices) are refused, each with the reason.

// Why `name` cannot be used as one file or folder name; empty when it can.
QString fileNameProblem(const QString &name);

inline bool isSafeFileName(const QString &name)
{
    return fileNameProblem(name).isEmpty();
}
