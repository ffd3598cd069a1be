#include "scenelist/MatchingTable.h"

#include "scenelist/AssetType.h"

#include <iterator>

namespace {

const QLatin1String kComma("[VIRGULE]");
const QLatin1String kSemicolon("[POINT_VIRGULE]");

// The list columns A to Z, then AA to AD, after the empty entry.
constexpr int kLetters = 26;
constexpr int kDoubleLetters = 4;
constexpr int kListColumnEntries = 1 + kLetters + kDoubleLetters;

const char *const kOrigins[] = {"", "SceneListFile", "SceneName"};
const char *const kPositions[] = {"", "Top", "Bottom"};
const char *const kModes[] = {"", "File", "Folder"};

QStringList listColumnEntries()
{
    QStringList entries{QString()};
    for (int i = 0; i < kLetters; ++i)
        entries << QString(QLatin1Char(char('A' + i)));
    for (int i = 0; i < kDoubleLetters; ++i)
        entries << QStringLiteral("A%1").arg(QLatin1Char(char('A' + i)));
    return entries;
}

template <std::size_t N> QStringList texts(const char *const (&list)[N])
{
    QStringList out;
    for (const char *text : list)
        out << QLatin1String(text);
    return out;
}

// A combo box given an index outside its list shows no entry and reports -1.
int comboIndex(int column, const QString &value)
{
    bool ok = false;
    const int index = value.toInt(&ok);
    if (!ok)
        return 0;
    return index >= 0 && index < MatchingTable::comboEntryCount(column) ? index : -1;
}

// Works on const and non-const rows alike.
template <typename Row> auto comboField(Row &row, int column) -> decltype(&row.origin)
{
    switch (column) {
    case MatchingColumn::OriginOfData:
        return &row.origin;
    case MatchingColumn::Col:
        return &row.col;
    case MatchingColumn::Type:
        return &row.type;
    case MatchingColumn::LayerPosition:
        return &row.layerPosition;
    case MatchingColumn::Mode:
        return &row.mode;
    default:
        return nullptr;
    }
}

template <typename Row> auto textField(Row &row, int column) -> decltype(&row.crop)
{
    switch (column) {
    case MatchingColumn::Crop:
        return &row.crop;
    case MatchingColumn::FileName:
        return &row.fileName;
    case MatchingColumn::Ext:
        return &row.ext;
    case MatchingColumn::LayerDir:
        return &row.layerDir;
    case MatchingColumn::LayerName:
        return &row.layerName;
    case MatchingColumn::Sort:
        return &row.sort;
    case MatchingColumn::Options:
        return &row.options;
    case MatchingColumn::Comments:
        return &row.comments;
    default:
        return nullptr;
    }
}

} // namespace

QString MatchingRow::cellText(int column) const
{
    if (const int *combo = comboField(*this, column))
        return QString::number(*combo);
    if (const QString *text = textField(*this, column))
        return *text;
    return QString();
}

void MatchingRow::setCellText(int column, const QString &value)
{
    if (int *combo = comboField(*this, column))
        *combo = comboIndex(column, value);
    else if (QString *text = textField(*this, column))
        *text = value;
}

QStringList MatchingTable::headers()
{
    return {QStringLiteral("*"),          QStringLiteral("OriginOfData"),
            QStringLiteral("Col"),        QStringLiteral("Type"),
            QStringLiteral("Crop"),       QStringLiteral("File Name"),
            QStringLiteral("Ext"),        QStringLiteral("Layer Dir"),
            QStringLiteral("Layer Name"), QStringLiteral("Layer Position"),
            QStringLiteral("Sort"),       QStringLiteral("Mode"),
            QStringLiteral("Options"),    QStringLiteral("Comments")};
}

QStringList MatchingTable::comboEntries(int column)
{
    switch (column) {
    case MatchingColumn::OriginOfData:
        return texts(kOrigins);
    case MatchingColumn::Col:
        return listColumnEntries();
    case MatchingColumn::Type:
        return assetTypeComboTexts();
    case MatchingColumn::LayerPosition:
        return texts(kPositions);
    case MatchingColumn::Mode:
        return texts(kModes);
    default:
        return {};
    }
}

int MatchingTable::comboEntryCount(int column)
{
    switch (column) {
    case MatchingColumn::OriginOfData:
        return int(std::size(kOrigins));
    case MatchingColumn::Col:
        return kListColumnEntries;
    case MatchingColumn::Type:
        return assetTypeCount();
    case MatchingColumn::LayerPosition:
        return int(std::size(kPositions));
    case MatchingColumn::Mode:
        return int(std::size(kModes));
    default:
        return 0;
    }
}

bool MatchingTable::isComboColumn(int column)
{
    const MatchingRow probe;
    return comboField(probe, column) != nullptr;
}

MatchingTable::MatchingTable() : m_rows(RowCount) {}

MatchingTable MatchingTable::fromText(const QString &tableOptions, const QString &inactiveRows)
{
    MatchingTable table;
    table.loadFromText(tableOptions);
    table.loadInactiveRows(inactiveRows);
    return table;
}

const MatchingRow &MatchingTable::row(int r) const
{
    static const MatchingRow empty;
    return r >= 0 && r < m_rows.size() ? m_rows.at(r) : empty;
}

void MatchingTable::setRow(int r, const MatchingRow &row)
{
    if (r >= 0 && r < m_rows.size())
        m_rows[r] = row;
}

void MatchingTable::loadFromText(const QString &text)
{
    if (text.isEmpty())
        return;
    const QStringList rows = text.split(QLatin1Char(';'));
    for (int r = 0; r < rows.size() && r < m_rows.size(); ++r) {
        const QStringList values = rows.at(r).split(QLatin1Char(','));
        for (int j = 0; j < values.size(); ++j) {
            const int column = MatchingColumn::OriginOfData + j;
            if (column >= MatchingColumn::Count)
                break;
            QString value = values.at(j);
            value.replace(kSemicolon, QStringLiteral(";")).replace(kComma, QStringLiteral(","));
            m_rows[r].setCellText(column, value);
        }
    }
}

QString MatchingTable::saveToText() const
{
    QStringList rows;
    for (const MatchingRow &row : m_rows) {
        QStringList cells;
        for (int column = MatchingColumn::OriginOfData; column < MatchingColumn::Count; ++column) {
            QString cell = row.cellText(column);
            if (!isComboColumn(column))
                cell.replace(QLatin1Char(';'), kSemicolon).replace(QLatin1Char(','), kComma);
            cells << cell;
        }
        rows << cells.join(QLatin1Char(','));
    }
    return rows.join(QLatin1Char(';'));
}

void MatchingTable::loadInactiveRows(const QString &text)
{
    for (MatchingRow &row : m_rows)
        row.checked = true;
    const QStringList numbers = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &number : numbers) {
        bool ok = false;
        const int r = number.trimmed().toInt(&ok);
        if (ok && r >= 0 && r < m_rows.size())
            m_rows[r].checked = false;
    }
}

QString MatchingTable::inactiveRowsText() const
{
    QStringList numbers;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (!m_rows.at(r).checked)
            numbers << QString::number(r);
    }
    return numbers.join(QLatin1Char(','));
}

bool MatchingTable::isRowActive(int r) const
{
    return row(r).origin != OriginNone && row(r).checked;
}

QStringList MatchingTable::extensions(int r, ExtensionForm form) const
{
    const QStringList exts = row(r).ext.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString prefix = form == Dotted ? QStringLiteral(".") : QStringLiteral("*.");
    QStringList result;
    for (const QString &ext : exts)
        result << prefix + ext;
    return result;
}

QString MatchingTable::firstExtension(int r) const
{
    return extensions(r, Dotted).value(0);
}

QList<int> MatchingTable::rowsForColumn(int column) const
{
    QList<int> rows;
    if (column < 1)
        return rows;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (isRowActive(r) && origin(r) == OriginSceneListFile && col(r) == column)
            rows << r;
    }
    return rows;
}

QList<int> MatchingTable::rowsWithOrigin(int wanted, bool activeOnly) const
{
    QList<int> rows;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (origin(r) == wanted && (!activeOnly || isRowActive(r)))
            rows << r;
    }
    return rows;
}

QStringList MatchingTable::nameFilters() const
{
    QStringList filters;
    for (int r = 0; r < m_rows.size(); ++r) {
        const QStringList rowFilters = extensions(r, Filter);
        for (const QString &filter : rowFilters) {
            if (!filters.contains(filter))
                filters << filter;
        }
    }
    return filters;
}
