#include "testhost/app/CompositionPreview.h"

#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

namespace {

QPixmap checkered(const QImage &frame, const QSize &box)
{
    const QSize size = frame.size().scaled(box, Qt::KeepAspectRatio);
    QPixmap pixmap(size.isEmpty() ? QSize(1, 1) : size);
    QPainter painter(&pixmap);
    const int cell = 8;
    for (int y = 0; y < pixmap.height(); y += cell)
        for (int x = 0; x < pixmap.width(); x += cell)
            painter.fillRect(x, y, cell, cell,
                             (x / cell + y / cell) % 2 ? QColor(200, 200, 200) : Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pixmap.rect(), frame);
    return pixmap;
}

} // namespace

CompositionPreview::CompositionPreview(ProjectHost &project, QWidget *parent)
    : QWidget(parent), m_project(project)
{
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("compositionFrame"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(160, 90);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("compositionTime"));
    m_time = new QLabel(this);
    m_time->setObjectName(QStringLiteral("compositionTimeText"));
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(m_slider, 1);
    timeRow->addWidget(m_time);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture, 1);
    layout->addLayout(timeRow);
    connect(m_slider, &QSlider::valueChanged, this, &CompositionPreview::render);
    showComposition(0);
}

void CompositionPreview::showComposition(int id)
{
    const ProjectItem *comp = m_project.model().findById(id);
    if (!comp || comp->type != AEGP_ItemType_COMP)
        id = 0;
    const int last = comp && id ? CompositionRenderer::frameCount(comp) - 1 : 0;
    const bool same = id == m_comp;
    m_comp = id;
    {
        QSignalBlocker blocker(m_slider);
        m_slider->setRange(0, last);
        if (!same)
            m_slider->setValue(0);
    }
    m_slider->setEnabled(id != 0);
    render();
}

void CompositionPreview::render()
{
    const ProjectItem *comp = m_project.model().findById(m_comp);
    m_frame = QImage();
    if (!comp || comp->type != AEGP_ItemType_COMP) {
        m_time->setText(tr("no composition"));
        updatePicture();
        return;
    }
    QString error;
    const int frame = m_slider->value();
    m_frame = m_renderer.render(comp, frame, &error);
    const double rate = comp->frameRate.den ? double(comp->frameRate.num) / comp->frameRate.den : 0;
    m_time->setText(m_frame.isNull() ? error
                                     : tr("frame %1 / %2 — %3 s")
                                           .arg(frame)
                                           .arg(m_slider->maximum())
                                           .arg(rate > 0 ? frame / rate : 0.0, 0, 'g', 4));
    updatePicture();
}

void CompositionPreview::updatePicture()
{
    if (m_frame.isNull())
        m_picture->clear();
    else
        m_picture->setPixmap(checkered(m_frame, m_picture->size()));
}

void CompositionPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updatePicture();
}
