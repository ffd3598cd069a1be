#include "scenelist/AssetType.h"

#include <iterator>

namespace {

// In index order: the table editor's text and the tree's type name of each type.
struct AssetTypeNames
{
    const char *combo;
    const char *tree;
};
const AssetTypeNames kTypes[] = {
    {"", "Nul"},        {"Scene (%a)", "Scene"}, {"NbIma", "NbIma"},
    {"Movie", "Movie"}, {"Sound", "Sound"},      {"Ima", "BG"},
    {"Asset", "Asset"}, {"Code", "Code"},        {"DocSize", "Size"},
};

} // namespace

int assetTypeCount()
{
    return int(std::size(kTypes));
}

QStringList assetTypeComboTexts()
{
    QStringList texts;
    for (const AssetTypeNames &names : kTypes)
        texts << QLatin1String(names.combo);
    return texts;
}

QString assetTypeTreeName(int type)
{
    if (type < 0 || type >= assetTypeCount())
        return QStringLiteral("ERR");
    return QLatin1String(kTypes[type].tree);
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
