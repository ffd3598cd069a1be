#pragma once
// The scene tree as values: top-level scenes, each with its element rows, 11 text cells per
// row, the columns drawn in red, and for scenes the selection. The matching rules fill it;
// the panel copies it into its QTreeWidget; the exports and the test host read it.
//
// Columns: 0 "Element", 1 "Type", 2 "Mode", 3 "File Name", 4 "Full Path Name",
// 5 "LayerName", 6 "LayerDir", 7 "Cid", 8 "Tid", 9 "Fok", 10 "TYPE".
//
// Example: a scene "SC010" whose list names the asset "bob", found as /lib/chars/bob.png by
// table row 3 (Type Asset, Layer Dir "CHARS"), is the scene row
// {"SC010", "SC010", "", ...} and the element row
// {"bob", "Asset", "File", "bob.png", "/lib/chars/bob.png", "", "CHARS", "3", "6", "1", ""}
// with no red column; had the file been missing, Full Path Name would be empty, Fok "0" and
// columns 0 and 3 red.
//
// Filling a QTreeWidget (elements are enabled but not selectable):
//     for (const SceneTreeScene &scene : tree.scenes()) {
//         auto *top = new QTreeWidgetItem(treeWidget, scene.cells);
//         paintRed(top, scene);                // setForeground(c, Qt::red) for isRed(c)
//         for (const SceneTreeRow &element : scene.elements) {
//             auto *child = new QTreeWidgetItem(top, element.cells);
//             child->setFlags(Qt::ItemIsEnabled);
//             paintRed(child, element);
//         }
//         top->setSelected(scene.selected);
//     }
#include "import/CreateSceneSource.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

struct SceneTreeColumn
{
    enum : int {
        Element = 0,
        Type = 1,
        Mode = 2,
        FileName = 3,
        FullPath = 4,
        LayerName = 5,
        LayerDir = 6,
        Cid = 7,
        Tid = 8,
        Fok = 9,
        ConversionType = 10,
        Count = 11,
    };
};

struct SceneTreeRow
{
    SceneTreeRow();
    explicit SceneTreeRow(const QStringList &texts); // padded or cut to 11 cells

    QStringList cells; // always 11 texts
    quint16 redColumns = 0;

    QString cell(int column) const { return cells.value(column); }
    void setCell(int column, const QString &text);
    bool isRed(int column) const;
    void setRed(int column, bool red = true);
    QVector<int> redList() const;
    // "Fok" read as a number, as the creation and the error log read it.
    bool isFound() const { return cell(SceneTreeColumn::Fok).toInt() != 0; }
    // The element as a Create Scene run takes it (name, file looked for, path, folder, type).
    SceneElementToCreate toElementToCreate() const;
};

struct SceneTreeScene : SceneTreeRow
{
    using SceneTreeRow::SceneTreeRow;
    bool selected = false;
    QVector<SceneTreeRow> elements;
};

class SceneTree
{
public:
    static QStringList headers();
    static QVector<int> columnWidths();

    const QVector<SceneTreeScene> &scenes() const { return m_scenes; }
    QVector<SceneTreeScene> &scenes() { return m_scenes; }
    bool isEmpty() const { return m_scenes.isEmpty(); }
    void clear() { m_scenes.clear(); }

    SceneTreeScene &appendScene(const SceneTreeScene &scene);
    // The last scene, where new elements go; null when there is none.
    SceneTreeScene *lastScene();

    // Sorts every scene's elements on "Cid" as text, keeping the order of equal keys; the
    // scenes keep their order ("10" sorts before "2", as a tree widget sorts).
    void sortOnCid();

    // {"columns":[11 headers],"scenes":[{"cells":[...],"red":[...],"selected":bool,
    //   "elements":[{"cells":[...],"red":[...]}]}]}
    QJsonObject toJson() const;

private:
    QVector<SceneTreeScene> m_scenes;
};
