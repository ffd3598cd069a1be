#pragma once
// The asset types of the matching table's Type column. The index is what saved tables store
// and what the scene tree's "Tid" column shows; the combo text is what the table editor lists;
// the tree name is what the tree's "Type" column shows.
//
// Example: index 5 is listed as "Ima" in the table and shown as "BG" in the tree; an index the
// table does not know (a hand-edited configuration) is shown as "ERR".
#include <QString>
#include <QStringList>

enum AssetType {
    TypeNone = 0,
    TypeScene = 1,
    TypeNbIma = 2,
    TypeMovie = 3,
    TypeSound = 4,
    TypeIma = 5,
    TypeAsset = 6,
    TypeCode = 7,
    TypeDocSize = 8,
};

// The number of types (9), without building the lists.
int assetTypeCount();
// The nine combo texts, in index order ("", "Scene (%a)", "NbIma", ... "DocSize").
QStringList assetTypeComboTexts();
// The tree's type name: "Nul", "Scene", "NbIma", "Movie", "Sound", "BG", "Asset", "Code",
// "Size"; "ERR" for any other index.
QString assetTypeTreeName(int type);
// Movie, Sound, Ima, Asset and DocSize: the types searched on disk by file name.
bool isSearchedOnDisk(int type);
