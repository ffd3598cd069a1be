#include "widgets/TableConfig.h"

#include "support/LogSink.h"
#include "ui_TableConfig.h"
#include "widgets/QComboBoxPerso.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QtDebug>

namespace {

const QString kPlainStyle = QStringLiteral(
    "QCheckBox {border:0px solid black;} QComboBox {border:0px solid black;} "
    "QComboBox::drop-down {border-width: 0px;} QComboBox::down-arrow {image: url(noimg); "
    "border-width: 0px;} ");
const QString kTintedStyle = QStringLiteral(
    "QCheckBox {border:0px solid black;} QComboBox {border:0px solid black;background: "
    "rgb(233,231,227);} QComboBox::drop-down {border-width: 0px;} QComboBox::down-arrow "
    "{image: url(noimg); border-width: 0px;} ");
const QString kClearedKey = QStringLiteral("999");
// Rows the table keeps in view when its page is squeezed between other open pages (the page
// scrolls instead).
constexpr int kRowsInView = 10;

// Cells are told apart by the exact class of their widget, as the stored text depends on it.
QComboBoxPerso *comboCell(const QTableWidget *table, int row, int column)
{
    QWidget *w = table->cellWidget(row, column);
    return w && qstrcmp(w->metaObject()->className(), "QComboBoxPerso") == 0
               ? static_cast<QComboBoxPerso *>(w)
               : nullptr;
}

QCheckBox *checkCell(const QTableWidget *table, int row, int column)
{
    QWidget *w = table->cellWidget(row, column);
    return w && qstrcmp(w->metaObject()->className(), "QCheckBox") == 0
               ? static_cast<QCheckBox *>(w)
               : nullptr;
}

QString escapeCell(QString text)
{
    return text.replace(QLatin1Char(';'), QLatin1String("[POINT_VIRGULE]"))
        .replace(QLatin1Char(','), QLatin1String("[VIRGULE]"));
}

QString unescapeCell(QString text)
{
    return text.replace(QLatin1String("[POINT_VIRGULE]"), QLatin1String(";"))
        .replace(QLatin1String("[VIRGULE]"), QLatin1String(","));
}

} // namespace

TableConfig::TableConfig(QWidget *parent) : QWidget(parent), m_ui(new Ui::TableConfig)
{
    m_ui->setupUi(this);
    QTableWidget *table = m_ui->table;
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            kRowsInView * table->verticalHeader()->defaultSectionSize() +
                            2 * table->frameWidth());
    connect(m_ui->pbTableConfigMoveUp, &QPushButton::clicked, this, &TableConfig::OnPbMoveUpTable);
    connect(m_ui->pbTableConfigMoveDown, &QPushButton::clicked, this,
            &TableConfig::OnPbMoveDownTable);
    connect(m_ui->pbTableConfigClean, &QPushButton::clicked, this, &TableConfig::OnPbCleanTable);
}

TableConfig::~TableConfig() = default;

QTableWidget *TableConfig::tableWidget() const
{
    return m_ui->table;
}

void TableConfig::setSortCol(int column)
{
    m_sortCol = column;
    m_ui->table->setColumnHidden(column, true);
}

QString TableConfig::orderKey(int row)
{
    return QStringLiteral("%1").arg(row, 3, 10, QLatin1Char('0'));
}

bool TableConfig::isRowActive(int row) const
{
    const QComboBoxPerso *origin = comboCell(m_ui->table, row, m_firstDataCol);
    if (!origin || origin->currentIndex() == 0)
        return false;
    if (!m_ui->table->cellWidget(row, m_checkCol))
        return true;
    const QCheckBox *check = checkCell(m_ui->table, row, m_checkCol);
    return check && check->isChecked();
}

void TableConfig::applyCellStyles()
{
    QTableWidget *table = m_ui->table;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString &style = (row % 2 == 1 && m_alternateColors) ? kTintedStyle : kPlainStyle;
        for (int column = 0; column < table->columnCount(); ++column) {
            if (!comboCell(table, row, column) && !checkCell(table, row, column))
                continue;
            // Setting a style sheet re-polishes the widget, which is costly; the table is
            // restyled after every move, so unchanged cells are left alone.
            QWidget *cell = table->cellWidget(row, column);
            if (cell->styleSheet() != style)
                cell->setStyleSheet(style);
        }
    }
}

void TableConfig::writeKey(int row, const QString &key)
{
    QTableWidgetItem *item = m_ui->table->item(row, m_sortCol);
    if (item)
        item->setText(key);
    else
        m_ui->table->setItem(row, m_sortCol, new QTableWidgetItem(key));
}

void TableConfig::sortAndRestyle()
{
    m_ui->table->sortItems(m_sortCol, Qt::AscendingOrder);
    applyCellStyles();
}

void TableConfig::OnPbMoveUpTable()
{
    const int current = m_ui->table->currentRow();
    if (current < 1)
        return;
    // A row without a key gets one: left keyless, the sort would drop it to the bottom.
    for (int row = 0; row < m_ui->table->rowCount(); ++row) {
        const int key = row == current ? current - 1 : row == current - 1 ? current : row;
        writeKey(row, orderKey(key));
    }
    sortAndRestyle();
}

void TableConfig::OnPbMoveDownTable()
{
    QTableWidget *table = m_ui->table;
    const QTableWidgetItem *probe = table->item(1, m_sortCol);
    qDebug() << "Columns: " << table->columnCount();
    qDebug() << "getSortCol(): " << m_sortCol;
    qDebug() << "item: " << (probe ? probe->text() : QStringLiteral("(none)"));
    const int current = table->currentRow();
    if (current < 0 || current >= table->rowCount() - 1)
        return;
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem *item = table->item(row, m_sortCol);
        if (!item)
            return;
        const int key = row == current ? current + 1 : row == current + 1 ? current : row;
        item->setText(orderKey(key));
    }
    sortAndRestyle();
}

void TableConfig::clearRow(int row)
{
    QTableWidget *table = m_ui->table;
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QComboBoxPerso *combo = comboCell(table, row, column))
            combo->setCurrentIndex(0);
        else if (QCheckBox *check = checkCell(table, row, column))
            check->setChecked(false);
        else if (QTableWidgetItem *item = table->item(row, column))
            item->setText(QString());
    }
}

void TableConfig::OnPbCleanTable()
{
    // Only the first data column decides here: a switched-off row in use keeps its content.
    for (int row = 0; row < m_ui->table->rowCount(); ++row) {
        const QComboBoxPerso *origin = comboCell(m_ui->table, row, m_firstDataCol);
        if (origin && origin->currentIndex() != 0) {
            writeKey(row, orderKey(row));
            continue;
        }
        clearRow(row);
        writeKey(row, kClearedKey);
    }
    sortAndRestyle();
}

QString TableConfig::cellText(int row, int column) const
{
    if (const QComboBoxPerso *combo = comboCell(m_ui->table, row, column))
        return QString::number(combo->currentIndex());
    const QTableWidgetItem *item = m_ui->table->item(row, column);
    return item ? escapeCell(item->text()) : QString();
}

QString TableConfig::saveToText() const
{
    QStringList rows;
    for (int row = 0; row < m_ui->table->rowCount(); ++row) {
        QStringList cells;
        for (int column = m_firstDataCol; column < m_ui->table->columnCount(); ++column)
            cells << cellText(row, column);
        rows << cells.join(QLatin1Char(','));
    }
    return rows.join(QLatin1Char(';'));
}

void TableConfig::setCellValue(int row, int column, const QString &value)
{
    QComboBoxPerso *combo = comboCell(m_ui->table, row, column);
    if (!combo) {
        m_ui->table->setItem(row, column, new QTableWidgetItem(value));
        return;
    }
    int index = value.toInt();
    if (index < 0 || index >= combo->count()) {
        // A list cannot show an entry it does not have; the row falls back to the empty one.
        appendLog(QStringLiteral("-WAR- TableConfig: no entry %1 in the list of row %2, column "
                                 "%3; the empty entry is used")
                      .arg(value)
                      .arg(row + 1)
                      .arg(column));
        index = 0;
    }
    combo->setCurrentIndex(index);
}

void TableConfig::loadFromText(const QString &text)
{
    if (text.isEmpty())
        return;
    QTableWidget *table = m_ui->table;
    const QStringList rows = text.split(QLatin1Char(';'));
    for (int row = 0; row < rows.size() && row < table->rowCount(); ++row) {
        table->setRowHeight(row, 24);
        const QStringList values = rows.at(row).split(QLatin1Char(','));
        for (int j = 0; j < values.size(); ++j) {
            const int column = m_firstDataCol + j;
            if (column >= table->columnCount())
                break;
            setCellValue(row, column, unescapeCell(values.at(j)));
        }
    }
}
