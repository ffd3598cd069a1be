#pragma once
// The Assets Matching Table on its editor: 24 rows of 14 columns, where each row says where an
// asset name comes from, what it is and how it becomes a file on disk.
//
// Example: a row [x] SceneListFile | C | Asset | 6: | | png psd | CHARS | ... reads column C
// of the scene list, drops the first six characters ("sc010_BG" -> "BG") and looks for BG.png
// in the library; the found file goes into the timeline folder CHARS.
#include <QStringList>

class TableConfig;

namespace MatchingTable {

enum Column {
    Check = 0,
    OriginOfData = 1,
    Col = 2,
    Type = 3,
    Crop = 4,
    FileName = 5,
    Ext = 6,
    LayerDir = 7,
    LayerName = 8,
    LayerPosition = 9,
    Sort = 10,
    Mode = 11,
    Options = 12,
    Comments = 13,
    ColumnCount = 14
};
constexpr int kRowCount = 24;

// The 14 header texts, "*" first.
QStringList headers();
// Entries of the list of a combo-box column; empty for the other columns.
QStringList values(int column);
// Fills a fresh editor: headers, a ticked check box and the lists in every row, an order key
// in the hidden Sort column, empty items elsewhere, tool tips and widths.
void setUp(TableConfig *editor);

} // namespace MatchingTable
