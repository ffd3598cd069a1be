#include "host/embed/QWinWidget.h"

#include <QEvent>

QWinWidget::QWinWidget(AEGP_PlatformViewRef container, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_container(static_cast<QWidget *>(container))
{
    if (!m_container)
        return;
    setParent(m_container, Qt::Widget);
    m_container->installEventFilter(this);
    setGeometry(m_container->rect());
    // A container that is already on screen sends neither its show nor a resize again, and
    // the derived panel's form gives the panel its own design size after this point: show
    // and fit the panel once construction (of the derived panel too) is over.
    if (m_container->isVisible()) {
        QMetaObject::invokeMethod(
            this,
            [this]() {
                show();
                containerResized();
            },
            Qt::QueuedConnection);
    }
}

QWinWidget::~QWinWidget()
{
    if (m_container)
        m_container->removeEventFilter(this);
}

bool QWinWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container) {
        switch (event->type()) {
        case QEvent::Resize:
            containerResized();
            break;
        case QEvent::Show:
            show();
            containerResized();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
