#include "scenelist/gui/MatchingTableSetup.h"

#include "widgets/QComboBoxPerso.h"
#include "widgets/TableConfig.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>

namespace MatchingTable {

namespace {

QString toolTip(int column)
{
    switch (column) {
    case Check:
        return QStringLiteral("Active On/Off");
    case OriginOfData:
        return QStringLiteral(
            "OriginOfData: the source of the asset\n  - null: the ligne is ignored\n  - "
            "SceneListFile: the asset name is taken from the sceneList file at column position "
            "Col:\n  - SceneName: the asset name is deducted from the Name of the current scene");
    case Col:
        return QStringLiteral("the column in the sceneList");
    case Type:
        return QStringLiteral("the type of the Asset");
    case Crop:
        return QStringLiteral("The numbers of char to remove in the begining and the end of the "
                              "asset name to match the file on the disk");
    case FileName:
        return QStringLiteral("The name of the file");
    case Ext:
        return QStringLiteral(
            "The file extension to add to the Asset name to match the file on the disk");
    case LayerDir:
        return QStringLiteral(
            "The name of the folder in the flash timeline where the Asset will be inserted.");
    case LayerName:
        return QStringLiteral("The name of the layer to insert in the flash timeline");
    case LayerPosition:
        return QStringLiteral("The position in the time line");
    case Sort:
        return QStringLiteral("Internal Sort Column");
    case Mode:
        return QStringLiteral("Load a File or load a Folder content *.ext");
    default:
        return QString();
    }
}

// "" then A to Z, AA to AD: index 1 is the first list column, index 30 the thirtieth.
QStringList listColumns()
{
    QStringList names{QString()};
    for (char c = 'A'; c <= 'Z'; ++c)
        names << QString(QLatin1Char(c));
    for (char c = 'A'; c <= 'D'; ++c)
        names << QStringLiteral("A") + QLatin1Char(c);
    return names;
}

QWidget *makeCell(int column, QWidget *parent)
{
    if (column == Check) {
        auto *check = new QCheckBox(parent);
        check->setChecked(true);
        return check;
    }
    const QStringList entries = values(column);
    if (entries.isEmpty())
        return nullptr;
    auto *combo = new QComboBoxPerso(parent);
    combo->addItems(entries);
    return combo;
}

} // namespace

QStringList headers()
{
    return {QStringLiteral("*"),          QStringLiteral("OriginOfData"),
            QStringLiteral("Col"),        QStringLiteral("Type"),
            QStringLiteral("Crop"),       QStringLiteral("File Name"),
            QStringLiteral("Ext"),        QStringLiteral("Layer Dir"),
            QStringLiteral("Layer Name"), QStringLiteral("Layer Position"),
            QStringLiteral("Sort"),       QStringLiteral("Mode"),
            QStringLiteral("Options"),    QStringLiteral("Comments")};
}

QStringList values(int column)
{
    switch (column) {
    case OriginOfData:
        return {QString(), QStringLiteral("SceneListFile"), QStringLiteral("SceneName")};
    case Col:
        return listColumns();
    case Type:
        // The index is what is stored: the order is binding.
        return {QString(),
                QStringLiteral("Scene (%a)"),
                QStringLiteral("NbIma"),
                QStringLiteral("Movie"),
                QStringLiteral("Sound"),
                QStringLiteral("Ima"),
                QStringLiteral("Asset"),
                QStringLiteral("Code"),
                QStringLiteral("DocSize")};
    case LayerPosition:
        return {QString(), QStringLiteral("Top"), QStringLiteral("Bottom")};
    case Mode:
        return {QString(), QStringLiteral("File"), QStringLiteral("Folder")};
    default:
        return {};
    }
}

void setUp(TableConfig *editor)
{
    QTableWidget *table = editor->tableWidget();
    table->setRowCount(kRowCount);
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels(headers());
    editor->setFirstDataCol(OriginOfData);
    editor->setCheckCol(Check);
    for (int row = 0; row < kRowCount; ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            if (QWidget *cell = makeCell(column, table)) {
                cell->setToolTip(toolTip(column));
                table->setCellWidget(row, column, cell);
                continue;
            }
            const QString text = column == Sort ? TableConfig::orderKey(row) : QString();
            auto *item = new QTableWidgetItem(text);
            item->setToolTip(toolTip(column));
            table->setItem(row, column, item);
        }
    }
    table->setColumnWidth(Check, 22);
    table->setColumnWidth(OriginOfData, 120);
    table->setColumnWidth(Col, 40);
    editor->setSortCol(Sort);
    editor->applyCellStyles();
}

} // namespace MatchingTable
