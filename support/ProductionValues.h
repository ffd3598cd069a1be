#pragma once

#include <QString>

// The production placeholders of the Create Scene options: %e episode number, %n episode name,
// %x %y %z the three user variables, %j the Harmony job. Name templates expand them one letter
// at a time in that order, then %a with the scene or asset name.
//
// Example: with episode "5" and episode name "Pilot", expand("ML01_EP%02e_%n_%a", "SC02")
// gives "ML01_EP05_Pilot_SC02". A letter whose value is empty stays in the text as written.
struct ProductionValues
{
    QString episode;     // the displayed text of the episode number
    QString episodeName;
    QString userVar1;
    QString userVar2;
    QString userVar3;
    QString job;

    // The value of one of the letters e, n, x, y, z, j; empty for any other letter.
    QString value(QChar letter) const;
    // Expands e, n, x, y, z and j, then a with `sceneValue`.
    QString expand(const QString &templ, const QString &sceneValue) const;
};
