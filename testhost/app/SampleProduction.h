#pragma once
// A small production for the Create Scene demo and tests: an asset library of folders, a scene
// list in CSV and the Assets Matching Table that reads it.
//
// Written under DIR:
//   library/bg/BG_SC010.png ... BG_SC030.png   backgrounds, 640x360
//   library/chars/bob.png, ann.png            characters with alpha
//   scene-list.csv      two header lines, then SC010 (bob, ann), SC020 (bob), SC030 (ann, zed);
//                       zed is in no library folder
//   matching-table.txt  the table's one-line form (the TableOptions text): the scene from
//                       column A, the background (Ima, folder BG) from B, the characters (Asset,
//                       folder CHARS) from C, one name per line of the cell
#include <QString>
#include <QStringList>

struct SampleProduction
{
    QString sceneList;
    QString library;
    QString matchingTable; // the file holding the table text
    QStringList scenes;
};

// Writes the production under root (created if needed; existing files are rewritten). False
// with *error set when a file cannot be written.
bool writeSampleProduction(const QString &root, SampleProduction *production, QString *error);
