#pragma once
// The Assets Matching Table on its editor: 24 rows of 14 columns, where each row says where an
// asset name comes from, what it is and how it becomes a file on disk. The headers and value
// lists are those of the plain table (scenelist/MatchingTable.h), so editor and rules agree.
//
// Example: a row [x] SceneListFile | C | Asset | 6: | | png psd | CHARS | ... reads column C
// of the scene list, drops the first six characters ("sc010_BG" -> "BG") and looks for BG.png
// in the library; the found file goes into the timeline folder CHARS.
class TableConfig;

namespace MatchingTableSetup {

// Fills a fresh editor: headers, a ticked check box and the lists in every row, an order key
// in the hidden Sort column, empty items elsewhere, tool tips and widths.
void setUp(TableConfig *editor);

} // namespace MatchingTableSetup
