// Fuzz target: the matching table's saved one-line form. Whatever text is loaded, saving and
// loading again gives the same text, every combo holds an index of its list or -1, and the
// switched-off rows read back as written.
#include "FuzzTarget.h"
#include "scenelist/MatchingTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    MatchingTable table;
    table.loadFromText(text);
    table.loadInactiveRows(text);
    const QString saved = table.saveToText();
    const MatchingTable again = MatchingTable::fromText(saved, table.inactiveRowsText());
    check(again.saveToText() == saved);
    check(again.inactiveRowsText() == table.inactiveRowsText());
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int column = 0; column < MatchingColumn::Count; ++column) {
            if (!MatchingTable::isComboColumn(column))
                continue;
            const int index = table.row(r).cellText(column).toInt();
            check(index >= -1 && index < MatchingTable::comboEntryCount(column));
        }
    }
    static const bool countsAgree = [] {
        for (int column = 0; column < MatchingColumn::Count; ++column) {
            if (MatchingTable::comboEntryCount(column) !=
                MatchingTable::comboEntries(column).size())
                return false;
        }
        return true;
    }();
    check(countsAgree);
    return 0;
}
