#pragma once
// The Assets Matching Table as plain values: 24 rows of 14 cells, read by the matching rules,
// the library scan and the readers. The panel's table editor stays the place where users edit
// it; before each load the panel copies the editor's cells into a MatchingTable (or rebuilds
// one from the editor's saved text with fromText).
//
// Each row says where an asset name comes from (OriginOfData, Col), what it is (Type) and how
// it becomes a file name (Crop, File Name, Ext) and a timeline place (Layer Dir, Layer Name,
// Layer Position, Mode, Options).
//
// The saved one-line form ("TableOptions") holds columns 1 to 13 of every row: cells joined by
// ",", rows by ";", combo cells as their index, text cells with ";" written "[POINT_VIRGULE]"
// and "," written "[VIRGULE]". The check column is not part of it; the rows switched off are
// kept beside it ("TableOptionsInactive", 0-based row numbers joined by ",").
//
// Example: the text "1,1,1,,SC%a,,,,0,000,0,,;1,1,6,6:,,png psd,CHARS,,1,001,0,,"
// gives row 0 = Scene (%a) from list column A with the File Name "SC%a", and row 1 = Asset
// from column A, Crop "6:", extensions png and psd, Layer Dir "CHARS", Layer Position Top.
// extensions(1, Dotted) is {".png", ".psd"}; extensions(1, Filter) is {"*.png", "*.psd"}.
// With inactive text "1", row 1 is off and isRowActive(1) is false.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// The editor's column numbers.
struct MatchingColumn
{
    enum : int {
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
        Count = 14,
    };
};

// Combo indexes of the OriginOfData, Layer Position and Mode columns.
enum MatchingOrigin { OriginNone = 0, OriginSceneListFile = 1, OriginSceneName = 2 };
enum LayerPosition { PositionNone = 0, PositionTop = 1, PositionBottom = 2 };
enum MatchingMode { ModeNone = 0, ModeFile = 1, ModeFolder = 2 };

// One row as the editor holds it. Combo cells hold their index, -1 when the editor's combo
// box would have no current entry (a stored index outside its list).
struct MatchingRow
{
    bool checked = true;   // column 0
    int origin = 0;        // column 1
    int col = 0;           // column 2: 1 is list column A, 30 is AD
    int type = 0;          // column 3, an AssetType
    QString crop;          // column 4
    QString fileName;      // column 5
    QString ext;           // column 6
    QString layerDir;      // column 7
    QString layerName;     // column 8
    int layerPosition = 0; // column 9
    QString sort;          // column 10
    int mode = 0;          // column 11
    QString options;       // column 12
    QString comments;      // column 13

    // The cell of a saved column (1 to 13) in the saved form: combo index or raw text.
    QString cellText(int column) const;
    // Sets a saved column from its saved value: a combo takes the decimal number (0 when it
    // is not a number, -1 when outside the combo's list), a text cell takes the value.
    void setCellText(int column, const QString &value);
};

class MatchingTable
{
public:
    static constexpr int RowCount = 24;

    static QStringList headers();
    // The value list of a combo column (1, 2, 3, 9, 11); empty for the other columns.
    static QStringList comboEntries(int column);
    static int comboEntryCount(int column); // comboEntries(column).size(), without building it
    static bool isComboColumn(int column);

    MatchingTable();
    static MatchingTable fromText(const QString &tableOptions,
                                  const QString &inactiveRows = QString());

    int rowCount() const { return m_rows.size(); }
    // Rows outside the table read as an empty row.
    const MatchingRow &row(int r) const;
    void setRow(int r, const MatchingRow &row);

    // The editor's loadFromText: an empty text changes nothing; rows and values beyond the
    // table are ignored; rows beyond the text keep their cells.
    void loadFromText(const QString &text);
    QString saveToText() const;
    // Ticks every row, then switches off the rows listed (0-based, ","-separated).
    void loadInactiveRows(const QString &text);
    QString inactiveRowsText() const;

    // Active: OriginOfData is not the empty entry and the check box is ticked.
    bool isRowActive(int r) const;
    int origin(int r) const { return row(r).origin; }
    int col(int r) const { return row(r).col; }
    int type(int r) const { return row(r).type; }
    int layerPosition(int r) const { return row(r).layerPosition; }
    // Trimmed text cells.
    QString crop(int r) const { return row(r).crop.trimmed(); }
    QString fileNameTemplate(int r) const { return row(r).fileName.trimmed(); }
    QString layerDir(int r) const { return row(r).layerDir.trimmed(); }
    QString layerName(int r) const { return row(r).layerName.trimmed(); }
    QString options(int r) const { return row(r).options.trimmed(); }
    bool isFolderMode(int r) const { return row(r).mode == ModeFolder; }

    enum ExtensionForm { Dotted, Filter };
    // The extensions of column 6 (simplified, split at spaces) as ".ext" or "*.ext".
    QStringList extensions(int r, ExtensionForm form) const;
    // ".ext" of the first extension, or empty.
    QString firstExtension(int r) const;

    // Active SceneListFile rows whose Col is `column`, in table order; empty below 1.
    QList<int> rowsForColumn(int column) const;
    // Rows (active or, with activeOnly false, all) whose OriginOfData is `origin`.
    QList<int> rowsWithOrigin(int origin, bool activeOnly) const;
    // "*.ext" of every row's extensions, whatever the row's state, without duplicates.
    QStringList nameFilters() const;

private:
    QVector<MatchingRow> m_rows;
};
