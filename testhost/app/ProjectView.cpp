#include "testhost/app/ProjectView.h"

#include "testhost/app/CompositionPreview.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <unordered_map>

namespace {

const int kIdRole = Qt::UserRole;
// Changes arriving within this time are shown together.
const int kRefreshDelayMs = 100;

double seconds(A_Time t)
{
    return t.scale ? double(t.value) / double(t.scale) : 0.0;
}
double rate(A_Ratio r)
{
    return r.den ? double(r.num) / double(r.den) : 0.0;
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

// "2 s (50 frames at 25 fps)", frames counted at the given rate.
QString durationText(A_Time t, double fps)
{
    const QString s = number(std::round(seconds(t) * 1000) / 1000) + QStringLiteral(" s");
    if (fps <= 0)
        return s;
    return s + QStringLiteral(" (%1 frames)").arg(std::lround(seconds(t) * fps));
}

QString typeText(const ProjectItem *item)
{
    switch (item->type) {
    case AEGP_ItemType_COMP:
        return QObject::tr("Composition");
    case AEGP_ItemType_FOOTAGE:
        return QObject::tr("Footage (%1)").arg(item->kind);
    default:
        return QObject::tr("Folder");
    }
}

QString detailsText(const ProjectItem *item)
{
    if (item->type == AEGP_ItemType_COMP)
        return QStringLiteral("%1×%2, %3 fps, %4")
            .arg(item->width)
            .arg(item->height)
            .arg(number(rate(item->frameRate)))
            .arg(durationText(item->duration, rate(item->frameRate)));
    if (item->type != AEGP_ItemType_FOOTAGE)
        return QObject::tr("%n item(s)", nullptr, int(item->children.size()));
    if (item->kind == QLatin1String("still"))
        return item->files.value(0);
    if (item->kind == QLatin1String("sequence")) {
        const int missing = int(item->files.count(QString()));
        QString text = QObject::tr("%1 frames at %2 fps")
                           .arg(item->files.size())
                           .arg(number(item->conformFps));
        if (missing > 0)
            text += QObject::tr(", %n missing", nullptr, missing);
        return text;
    }
    return durationText(ProjectModel::itemDuration(item), 0) + QStringLiteral(" — ") +
           item->files.value(0);
}

// How long a layer lasts: a still as long as its composition, anything else its source.
QString layerDuration(const ProjectLayer *layer)
{
    const ProjectItem *source = layer->source;
    const double fps = rate(layer->comp->frameRate);
    if (source->type == AEGP_ItemType_FOOTAGE && source->kind == QLatin1String("still"))
        return durationText(layer->comp->duration, fps) + QObject::tr(", as its composition");
    return durationText(ProjectModel::itemDuration(source), fps);
}

// The composition in front, else the first one of the project (an opened project has none in
// front), else 0.
int firstComposition(const ProjectModel &model)
{
    if (model.active())
        return model.active()->id;
    for (const ProjectItem *item : model.items())
        if (item->type == AEGP_ItemType_COMP)
            return item->id;
    return 0;
}

QTreeWidget *makeTree(const QString &name, const QStringList &headers, QWidget *parent)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setHeaderLabels(headers);
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    return tree;
}

} // namespace

ProjectView::ProjectView(ProjectHost &project, QWidget *parent)
    : QWidget(parent), m_project(project)
{
    auto *splitter = new QSplitter(Qt::Vertical, this);
    m_tree =
        makeTree(QStringLiteral("projectTree"), {tr("Name"), tr("Type"), tr("Details")}, splitter);
    auto *compBox = new QWidget(splitter);
    m_compTitle = new QLabel(compBox);
    m_compTitle->setObjectName(QStringLiteral("compositionTitle"));
    m_layers = makeTree(QStringLiteral("compositionView"),
                        {tr("#"), tr("Layer"), tr("Source"), tr("Duration")}, compBox);
    m_layers->setRootIsDecorated(false);
    auto *compLayout = new QVBoxLayout(compBox);
    compLayout->setContentsMargins(0, 4, 0, 0);
    compLayout->addWidget(m_compTitle);
    compLayout->addWidget(m_layers);
    m_preview = new CompositionPreview(m_project, splitter);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setStretchFactor(2, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(kRefreshDelayMs);
    connect(m_refresh, &QTimer::timeout, this, &ProjectView::refresh);
    connect(&m_project, &ProjectHost::changed, m_refresh, [this]() {
        if (!m_refresh->isActive())
            m_refresh->start();
    });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &ProjectView::onSelectionChanged);
    refresh();
}

void ProjectView::refresh()
{
    m_refresh->stop();
    fillTree();
    m_preview->forgetImages(); // files may have changed with the project (zero images, copies)
    fillLayers();
}

void ProjectView::fillTree()
{
    const ProjectModel &model = m_project.model();
    QTreeWidgetItem *current = m_tree->currentItem();
    const int selectedId = current ? current->data(0, kIdRole).toInt() : 0;
    QSignalBlocker blocker(m_tree);
    m_tree->clear();
    std::unordered_map<int, QTreeWidgetItem *> rows;
    QTreeWidgetItem *selected = nullptr;
    for (const ProjectItem *item : model.items()) {
        auto parent = rows.find(item->parent->id);
        auto *row = parent == rows.end() ? new QTreeWidgetItem(m_tree) // owned by the tree
                                         : new QTreeWidgetItem(parent->second);
        row->setText(0, item->name);
        row->setText(1, typeText(item));
        row->setText(2, detailsText(item));
        row->setToolTip(2, item->files.join(QLatin1Char('\n')));
        row->setData(0, kIdRole, item->id);
        rows[item->id] = row;
        if (item->id == selectedId)
            selected = row;
    }
    m_tree->expandAll();
    for (int c = 0; c < 2; ++c)
        m_tree->resizeColumnToContents(c);
    if (selected)
        m_tree->setCurrentItem(selected);
    const ProjectItem *shown = model.findById(m_shownComp);
    if (!shown || shown->type != AEGP_ItemType_COMP || !shown->inProject)
        m_shownComp = firstComposition(model);
}

void ProjectView::onSelectionChanged()
{
    QTreeWidgetItem *row = m_tree->currentItem();
    const ProjectItem *item =
        row ? m_project.model().findById(row->data(0, kIdRole).toInt()) : nullptr;
    if (item && item->type == AEGP_ItemType_COMP) {
        m_shownComp = item->id;
        fillLayers();
    }
}

void ProjectView::fillLayers()
{
    m_layers->clear();
    const ProjectItem *comp = m_project.model().findById(m_shownComp);
    m_preview->showComposition(comp && comp->type == AEGP_ItemType_COMP ? comp->id : 0);
    if (!comp || comp->type != AEGP_ItemType_COMP) {
        m_compTitle->setText(tr("No composition selected"));
        return;
    }
    m_compTitle->setText(tr("<b>%1</b> — %n layer(s), top first", nullptr, int(comp->layers.size()))
                             .arg(comp->name.toHtmlEscaped()));
    int index = 1;
    for (const auto &layer : comp->layers) {
        auto *row = new QTreeWidgetItem(m_layers); // owned by the view
        row->setText(0, QString::number(index++));
        row->setText(1, layer->name);
        row->setText(2,
                     QStringLiteral("%1 (%2)").arg(layer->source->name, typeText(layer->source)));
        row->setText(3, layerDuration(layer.get()));
        row->setData(0, kIdRole, layer->source->id);
    }
    for (int c = 0; c < 3; ++c)
        m_layers->resizeColumnToContents(c);
}
