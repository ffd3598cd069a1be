#include "support/MissingFilesText.h"

QString missingFilesSceneLine(const QString &scene)
{
    return QStringLiteral("SC : ====== %1 ======\r\n").arg(scene);
}

QString missingFilesElementLine(const QString &element, const QString &fileName)
{
    return QStringLiteral("KO : %1 => %2\r\n").arg(element, fileName);
}

bool isListedAsMissing(int typeIndex, bool found)
{
    constexpr int kMovie = 3;
    constexpr int kCode = 7;
    return typeIndex >= kMovie && typeIndex <= kCode && !found;
}
