#include "scenelist/gui/MatchingTableSetup.h"

#include "scenelist/MatchingTable.h"

#include "widgets/QComboBoxPerso.h"
#include "widgets/TableConfig.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>

namespace MatchingTableSetup {

using C = MatchingColumn;

namespace {

QString toolTip(int column)
{
    switch (column) {
    case C::Check:
        return QStringLiteral("Active On/Off");
    case C::OriginOfData:
        return QStringLiteral(
            "OriginOfData: the source of the asset\n  - null: the ligne is ignored\n  - "
            "SceneListFile: the asset name is taken from the sceneList file at column position "
            "Col:\n  - SceneName: the asset name is deducted from the Name of the current scene");
    case C::Col:
        return QStringLiteral("the column in the sceneList");
    case C::Type:
        return QStringLiteral("the type of the Asset");
    case C::Crop:
        return QStringLiteral("The numbers of char to remove in the begining and the end of the "
                              "asset name to match the file on the disk");
    case C::FileName:
        return QStringLiteral("The name of the file");
    case C::Ext:
        return QStringLiteral(
            "The file extension to add to the Asset name to match the file on the disk");
    case C::LayerDir:
        return QStringLiteral(
            "The name of the folder in the flash timeline where the Asset will be inserted.");
    case C::LayerName:
        return QStringLiteral("The name of the layer to insert in the flash timeline");
    case C::LayerPosition:
        return QStringLiteral("The position in the time line");
    case C::Sort:
        return QStringLiteral("Internal Sort Column");
    case C::Mode:
        return QStringLiteral("Load a File or load a Folder content *.ext");
    default:
        return QString();
    }
}

QWidget *makeCell(int column, QWidget *parent)
{
    if (column == C::Check) {
        auto *check = new QCheckBox(parent);
        check->setChecked(true);
        return check;
    }
    const QStringList entries = MatchingTable::comboEntries(column);
    if (entries.isEmpty())
        return nullptr;
    auto *combo = new QComboBoxPerso(parent);
    combo->addItems(entries);
    return combo;
}

} // namespace

void setUp(TableConfig *editor)
{
    QTableWidget *table = editor->tableWidget();
    table->setRowCount(MatchingTable::RowCount);
    table->setColumnCount(C::Count);
    table->setHorizontalHeaderLabels(MatchingTable::headers());
    editor->setFirstDataCol(C::OriginOfData);
    editor->setCheckCol(C::Check);
    for (int row = 0; row < MatchingTable::RowCount; ++row) {
        for (int column = 0; column < C::Count; ++column) {
            if (QWidget *cell = makeCell(column, table)) {
                cell->setToolTip(toolTip(column));
                table->setCellWidget(row, column, cell);
                continue;
            }
            const QString text = column == C::Sort ? TableConfig::orderKey(row) : QString();
            auto *item = new QTableWidgetItem(text);
            item->setToolTip(toolTip(column));
            table->setItem(row, column, item);
        }
    }
    table->setColumnWidth(C::Check, 22);
    table->setColumnWidth(C::OriginOfData, 120);
    table->setColumnWidth(C::Col, 40);
    editor->setSortCol(C::Sort);
    // The cells get their style sheets when the owner applies them: restyling a combo box is
    // costly, and the main panel turns the alternating rows off before the first styling.
}

} // namespace MatchingTableSetup
