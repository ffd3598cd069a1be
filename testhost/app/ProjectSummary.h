#pragma once
// What a saved or open project holds, as the command line prints it: each composition with its
// size, length and frame rate, then its layers, top first, with what each shows.
//
// Example:
//   composition "SC010" 640x360, 25 frames at 25 fps
//     1. bob.png  <- still "bob.png"
//     2. BG_SC010.png  <- still "BG_SC010.png"
#include <QString>
#include <QTextStream>

class ProjectModel;

void printCompositions(QTextStream &out, const ProjectModel &project);
// Reads a saved project file and prints "project PATH" and its compositions; a file that
// cannot be read prints why and gives false.
bool printSavedProject(QTextStream &out, const QString &path);
