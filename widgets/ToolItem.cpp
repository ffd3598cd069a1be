#include "widgets/ToolItem.h"

#include "widgets/TitleItem.h"

#include <QFrame>
#include <QVBoxLayout>

ToolItem::ToolItem(const QString &title, QWidget *item, QAbstractButton *enabler, QWidget *parent)
    : QWidget(parent), m_item(item)
{
    m_frame = new QFrame(this);
    m_frame->setFrameShape(QFrame::StyledPanel);
    m_frame->setFrameShadow(QFrame::Plain);
    auto *frameLayout = new QVBoxLayout(m_frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->setSpacing(0);
    frameLayout->addWidget(m_item);

    m_title = new TitleItem(title, m_frame, enabler, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_title);
    layout->addWidget(m_frame);

    m_title->setOpen(false);
}
