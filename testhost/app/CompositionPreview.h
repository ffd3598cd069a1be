#pragma once

#include "testhost/project/CompositionRenderer.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QSlider;
class ProjectHost;

// The frame of the shown composition at the time chosen on a slider, drawn over a
// checkerboard where it is transparent and scaled to fit.
//
// Example: a 16-frame composition gives the slider the range 0 to 15; moving it to 4 renders
// frame 4 and the label reads "frame 4 / 15 — 0.333 s". Showing the same composition again
// (after a change of the project) keeps the frame; a missing file shows as the renderer's
// marked placeholder.
class CompositionPreview : public QWidget
{
    Q_OBJECT
public:
    explicit CompositionPreview(ProjectHost &project, QWidget *parent = nullptr);

    // The composition to show by its id (0: none); keeps the frame when it stays the same.
    void showComposition(int id);
    // The frame last rendered at the composition's size (null when none is shown).
    QImage shownFrame() const { return m_frame; }

    // Forgets the decoded images, so the next frame reads the files anew.
    void forgetImages() { m_renderer.clearCache(); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();
    void updatePicture();

    ProjectHost &m_project;
    CompositionRenderer m_renderer;
    QLabel *m_picture = nullptr;
    QLabel *m_time = nullptr;
    QSlider *m_slider = nullptr;
    int m_comp = 0;
    QImage m_frame;
};
