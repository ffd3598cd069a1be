#include "support/ProductionValues.h"

#include "support/TextHelpers.h"

QString ProductionValues::value(QChar letter) const
{
    switch (letter.unicode()) {
    case 'e':
        return episode;
    case 'n':
        return episodeName;
    case 'x':
        return userVar1;
    case 'y':
        return userVar2;
    case 'z':
        return userVar3;
    case 'j':
        return job;
    default:
        return QString();
    }
}

QString ProductionValues::expand(const QString &templ, const QString &sceneValue) const
{
    QString text = templ;
    for (const char letter : {'e', 'n', 'x', 'y', 'z', 'j'}) {
        const QChar c = QLatin1Char(letter);
        text = expandPlaceholder(text, c, value(c));
    }
    return expandPlaceholder(text, QLatin1Char('a'), sceneValue);
}
