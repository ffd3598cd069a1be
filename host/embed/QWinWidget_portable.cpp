// The container is a QWidget that the test host owns (it shares this process's Qt): the panel
// becomes its Qt child and hears its show, resize and close events.

#include "host/embed/QWinWidget.h"
#include "host/embed/QWinWidget_p.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace {

QWidget *widget(PanelFocusRules::Window window)
{
    return static_cast<QWidget *>(window);
}

class PortablePlatform final : public QObject, public QWinWidgetPlatform
{
public:
    PortablePlatform(QWinWidget *panel, QWidget *container) : m_panel(panel), m_container(container)
    {
        if (!container)
            return;
        panel->setParent(container, Qt::Widget);
        container->installEventFilter(this);
        panel->setGeometry(container->rect());
        // A container already on screen sends neither its show nor a resize again, and the
        // derived panel's form gives the panel its own design size after this point: show and
        // fit the panel once construction (of the derived panel too) is over.
        if (container->isVisible()) {
            QMetaObject::invokeMethod(
                panel, [panel]() { containerShown(panel); }, Qt::QueuedConnection);
        }
    }

    PanelFocusRules::Window containerWindow() const override { return m_container.data(); }

    QRect containerRect() const override
    {
        return m_container ? QRect(QPoint(0, 0), m_container->size()) : QRect();
    }

    void invalidateContainer() override
    {
        if (m_container)
            m_container->update();
    }

    bool hidesPanelForDialogs() const override { return false; }

    bool isFocusInMessage(const QByteArray &, void *, Qt::FocusReason *) const override
    {
        return false;
    }

    void release() override
    {
        if (m_container)
            m_container->removeEventFilter(this);
        m_released = true;
    }

    Window focusedWindow() const override { return QApplication::focusWidget(); }

    bool isLiveWindow(Window window) const override
    {
        // Compares addresses only: a remembered widget may have been deleted since.
        return window && QApplication::allWidgets().contains(widget(window));
    }

    // Like the native focus, which brings the window that holds it to the front.
    void giveFocus(Window window) override
    {
        if (!window)
            return;
        widget(window)->activateWindow();
        widget(window)->setFocus(Qt::OtherFocusReason);
    }

    // Qt's own modality already blocks the test host's window while a modal dialog of the panel
    // runs, and disabling the container would disable that dialog too (it is a Qt descendant).
    void setWindowEnabled(Window, bool) override {}

    void activateWindow(Window window) override
    {
        if (window)
            widget(window)->activateWindow();
    }

    void bringWindowToTop(Window window) override
    {
        if (window)
            widget(window)->window()->raise();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_container || m_released)
            return false;
        switch (event->type()) {
        case QEvent::Resize:
            containerResized(m_panel);
            break;
        case QEvent::Show:
            containerShown(m_panel);
            break;
        case QEvent::Close:
            containerClosing(m_panel);
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWinWidget *m_panel = nullptr;
    QPointer<QWidget> m_container;
    bool m_released = false;
};

} // namespace

std::unique_ptr<QWinWidgetPlatform> QWinWidgetPlatform::create(QWinWidget *panel,
                                                               AEGP_PlatformViewRef container)
{
    return std::make_unique<PortablePlatform>(panel, static_cast<QWidget *>(container));
}
