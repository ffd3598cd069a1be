#pragma once

#include <QWidget>

class CompositionPreview;
class QLabel;
class QTimer;
class QTreeWidget;
class ProjectHost;
struct ProjectItem;

// The host window's view of the open project: the project tree (folders, compositions and
// footage with their types and settings) above the composition view (the layers of the
// selected composition, top first, with their sources and durations).
//
// Example: after the precompose demo the tree shows "Demo" and "Characters" as compositions;
// selecting "Demo" lists 1 "Characters" (composition, 0.13 s) and 2 "BG.png" (still, lasting
// the composition), and shows its frame at the time chosen on a slider. The view follows the project: changes are gathered and shown together a
// moment later, so an import of thousands of items redraws a few times, not thousands.
class ProjectView : public QWidget
{
    Q_OBJECT
public:
    explicit ProjectView(ProjectHost &project, QWidget *parent = nullptr);

    // The composition whose layers are shown (0 when none).
    int shownComposition() const { return m_shownComp; }
    CompositionPreview *preview() const { return m_preview; }

public Q_SLOTS:
    // Rebuilds both views from the model now.
    void refresh();

private:
    void fillTree();
    void fillLayers();
    void onSelectionChanged();

    ProjectHost &m_project;
    QTreeWidget *m_tree = nullptr;
    QTreeWidget *m_layers = nullptr;
    QLabel *m_compTitle = nullptr;
    CompositionPreview *m_preview = nullptr;
    QTimer *m_refresh = nullptr;
    int m_shownComp = 0;
};
