#pragma once
// One column of a scene: one future layer, an image sequence or a fixed image.
//
// Example: A0001.png .. A0024.png in <scene>/BG give firstCellName "A0001", name "A",
// nbIma 24, firstNum 1, lastNum 24, subdir "/BG", ext "png".
#include <QString>
#include <QVector>

struct ExpoCol
{
    QString firstCellName;
    QString name;
    int nbIma = 0;
    int lastNum = 0;
    int firstNum = 0;
    QString subdir;
    QString ext; // as on disk ("PNG" for K0001.PNG); compared lower-cased
    QString folder;
};

using ExpoColList = QVector<ExpoCol>;
