#include "scenelist/SceneTree.h"

#include <QJsonArray>

#include <algorithm>

SceneElementToCreate SceneTreeRow::toElementToCreate() const
{
    SceneElementToCreate element;
    element.name = cell(SceneTreeColumn::Element);
    element.fileName = cell(SceneTreeColumn::FileName);
    element.path = cell(SceneTreeColumn::FullPath);
    element.layerDir = cell(SceneTreeColumn::LayerDir);
    element.type = cell(SceneTreeColumn::Tid).toInt();
    element.found = isFound();
    return element;
}

namespace {

QJsonArray toArray(const QStringList &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(text);
    return array;
}

QJsonArray toArray(const QVector<int> &numbers)
{
    QJsonArray array;
    for (int n : numbers)
        array.append(n);
    return array;
}

} // namespace

SceneTreeRow::SceneTreeRow()
{
    for (int c = 0; c < SceneTreeColumn::Count; ++c)
        cells << QString();
}

SceneTreeRow::SceneTreeRow(const QStringList &texts) : cells(texts.mid(0, SceneTreeColumn::Count))
{
    while (cells.size() < SceneTreeColumn::Count)
        cells << QString();
}

void SceneTreeRow::setCell(int column, const QString &text)
{
    if (column >= 0 && column < cells.size())
        cells[column] = text;
}

bool SceneTreeRow::isRed(int column) const
{
    return column >= 0 && column < SceneTreeColumn::Count && (redColumns >> column) & 1u;
}

void SceneTreeRow::setRed(int column, bool red)
{
    if (column < 0 || column >= SceneTreeColumn::Count)
        return;
    const quint16 bit = quint16(1u << column);
    redColumns = red ? quint16(redColumns | bit) : quint16(redColumns & ~bit);
}

QVector<int> SceneTreeRow::redList() const
{
    QVector<int> columns;
    for (int c = 0; c < SceneTreeColumn::Count; ++c) {
        if (isRed(c))
            columns << c;
    }
    return columns;
}

QStringList SceneTree::headers()
{
    return {QStringLiteral("Element"),
            QStringLiteral("Type"),
            QStringLiteral("Mode"),
            QStringLiteral("File Name"),
            QStringLiteral("Full Path Name"),
            QStringLiteral("LayerName"),
            QStringLiteral("LayerDir"),
            QStringLiteral("Cid"),
            QStringLiteral("Tid"),
            QStringLiteral("Fok"),
            QStringLiteral("TYPE")};
}

QVector<int> SceneTree::columnWidths()
{
    return {180, 50, 50, 200, 400, 200, 60, 20, 20, 20, 40};
}

SceneTreeScene &SceneTree::appendScene(const SceneTreeScene &scene)
{
    m_scenes.append(scene);
    return m_scenes.last();
}

SceneTreeScene *SceneTree::lastScene()
{
    return m_scenes.isEmpty() ? nullptr : &m_scenes.last();
}

void SceneTree::sortOnCid()
{
    for (SceneTreeScene &scene : m_scenes) {
        std::stable_sort(
            scene.elements.begin(), scene.elements.end(),
            [](const SceneTreeRow &a, const SceneTreeRow &b) {
                return a.cell(SceneTreeColumn::Cid).compare(b.cell(SceneTreeColumn::Cid)) < 0;
            });
    }
}

QJsonObject SceneTree::toJson() const
{
    QJsonArray scenes;
    for (const SceneTreeScene &scene : m_scenes) {
        QJsonArray elements;
        for (const SceneTreeRow &element : scene.elements) {
            elements.append(QJsonObject{{QStringLiteral("cells"), toArray(element.cells)},
                                        {QStringLiteral("red"), toArray(element.redList())}});
        }
        scenes.append(QJsonObject{{QStringLiteral("cells"), toArray(scene.cells)},
                                  {QStringLiteral("red"), toArray(scene.redList())},
                                  {QStringLiteral("selected"), scene.selected},
                                  {QStringLiteral("elements"), elements}});
    }
    return QJsonObject{{QStringLiteral("columns"), toArray(headers())},
                       {QStringLiteral("scenes"), scenes}};
}
