#include "scenelist/AssetType.h"

QStringList assetTypeComboTexts()
{
    return {QString(),
            QStringLiteral("Scene (%a)"),
            QStringLiteral("NbIma"),
            QStringLiteral("Movie"),
            QStringLiteral("Sound"),
            QStringLiteral("Ima"),
            QStringLiteral("Asset"),
            QStringLiteral("Code"),
            QStringLiteral("DocSize")};
}

QString assetTypeTreeName(int type)
{
    static const char *const names[] = {"Nul", "Scene", "NbIma", "Movie", "Sound",
                                        "BG",  "Asset", "Code",  "Size"};
    if (type < 0 || type >= int(sizeof names / sizeof *names))
        return QStringLiteral("ERR");
    return QLatin1String(names[type]);
}

bool isSearchedOnDisk(int type)
{
    switch (type) {
    case TypeMovie:
    case TypeSound:
    case TypeIma:
    case TypeAsset:
    case TypeDocSize:
        return true;
    default:
        return false;
    }
}
