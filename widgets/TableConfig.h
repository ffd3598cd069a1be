#pragma once

#include <QWidget>

#include <memory>

class QTableWidget;
namespace Ui {
class TableConfig;
}

// An editor for a small configuration table whose cells are plain text items, drop-down lists
// (QComboBoxPerso) or check boxes. Each row carries a hidden order key ("000", "001", ...;
// "999" for a cleared row) in the sort column, so rows can be moved and unused rows pushed to
// the bottom; the whole table turns into one line of text for a settings file and back.
//
// Example: with first data column 1 and two data columns, a row whose combo shows entry 2 and
// whose text cell reads "a,b;c" is saved as "2,a[VIRGULE]b[POINT_VIRGULE]c"; rows are joined
// by ";" and loadFromText gives the same cells back.
class TableConfig : public QWidget
{
    Q_OBJECT
public:
    explicit TableConfig(QWidget *parent = nullptr);
    ~TableConfig() override;

    QTableWidget *tableWidget() const;

    int getSortCol() const { return m_sortCol; }
    // Makes `column` the sort column and hides it.
    void setSortCol(int column);
    int firstDataCol() const { return m_firstDataCol; }
    void setFirstDataCol(int column) { m_firstDataCol = column; }
    int checkCol() const { return m_checkCol; }
    void setCheckCol(int column) { m_checkCol = column; }
    bool alternateColors() const { return m_alternateColors; }
    void setAlternateColors(bool on) { m_alternateColors = on; }

    // In use: the first data column's list is not on its empty entry, and the row's check box
    // (when it has one) is ticked.
    bool isRowActive(int row) const;
    // Odd rows get the tinted cell style while alternate colours are on; the rest the plain one.
    void applyCellStyles();

    Q_INVOKABLE QString saveToText() const;
    // An empty text changes nothing; stored rows beyond the table's rows are ignored.
    Q_INVOKABLE void loadFromText(const QString &text);

    // The order key of a row index: "007".
    static QString orderKey(int row);

public Q_SLOTS:
    void OnPbMoveUpTable();
    void OnPbMoveDownTable();
    void OnPbCleanTable();

private:
    void writeKey(int row, const QString &key);
    void sortAndRestyle();
    QString cellText(int row, int column) const;
    void setCellValue(int row, int column, const QString &value);
    void clearRow(int row);

    std::unique_ptr<Ui::TableConfig> m_ui;
    int m_firstDataCol = 2;
    int m_sortCol = 1;
    int m_checkCol = -1;
    bool m_alternateColors = true;
};
