// The container is the host's native window. Everything Win32 happens in the Qt-free layer under
// win32/; this file only connects that layer to the widget.

#include "host/embed/QWinWidget.h"
#include "host/embed/QWinWidget_p.h"
#include "host/embed/win32/NativeHostWindow.h"
#include "host/embed/win32/Win32Windows.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QVariant>
#include <QWindow>

namespace {

Qt::FocusReason qtReason(PanelFocusRules::FocusReason reason)
{
    switch (reason) {
    case PanelFocusRules::FocusReason::Mouse:
        return Qt::MouseFocusReason;
    case PanelFocusRules::FocusReason::Backtab:
        return Qt::BacktabFocusReason;
    case PanelFocusRules::FocusReason::Tab:
        break;
    }
    return Qt::TabFocusReason;
}

class Win32Platform final : public QWinWidgetPlatform, private NativeHostWindow::Client
{
public:
    Win32Platform(QWinWidget *panel, void *container) : m_panel(panel), m_container(container)
    {
        if (!container)
            return;
        // Qt's Windows platform creates the widget's native window as a child of this handle.
        panel->setProperty("_q_embedded_native_parent_handle", QVariant::fromValue(WId(container)));
        void *own = reinterpret_cast<void *>(panel->winId());
        Win32Windows::embedChildWindow(own, container);
        if (QWindow *window = panel->windowHandle())
            window->setFlags(Qt::FramelessWindowHint);
        QEvent embedding(QEvent::EmbeddingControl);
        QCoreApplication::sendEvent(panel, &embedding);
        m_host = std::make_unique<NativeHostWindow>(container,
                                                    static_cast<NativeHostWindow::Client *>(this));
    }

    PanelFocusRules::Window containerWindow() const override { return m_container; }

    QRect containerRect() const override
    {
        if (!m_host)
            return {};
        const NativeHostWindow::Rect r = m_host->clientRect();
        // The client rectangle is in device pixels; widget geometry is not, once Qt scales.
        const qreal ratio = m_panel->devicePixelRatioF();
        return QRect(0, 0, qRound((r.right - r.left) / ratio), qRound((r.bottom - r.top) / ratio));
    }

    void invalidateContainer() override
    {
        if (m_host)
            m_host->invalidate();
    }

    bool hidesPanelForDialogs() const override { return true; }

    bool isFocusInMessage(const QByteArray &eventType, void *message,
                          Qt::FocusReason *reason) const override
    {
        PanelFocusRules::FocusReason native = PanelFocusRules::FocusReason::Tab;
        if (eventType != "windows_generic_MSG" || !Win32Windows::isFocusInMessage(message, &native))
            return false;
        *reason = qtReason(native);
        return true;
    }

    void release() override
    {
        if (m_host)
            m_host->release();
    }

    Window focusedWindow() const override { return m_windows.focusedWindow(); }
    bool isLiveWindow(Window window) const override { return m_windows.isLiveWindow(window); }
    void giveFocus(Window window) override { m_windows.giveFocus(window); }
    void setWindowEnabled(Window window, bool enabled) override
    {
        m_windows.setWindowEnabled(window, enabled);
    }
    void activateWindow(Window window) override { m_windows.activateWindow(window); }
    void bringWindowToTop(Window window) override { m_windows.bringWindowToTop(window); }

private:
    void hostWindowPainted() override { containerShown(m_panel); }
    void hostWindowSizing() override { containerResized(m_panel); }
    void hostWindowDestroyed() override { containerDestroyed(m_panel); }

    QWinWidget *m_panel = nullptr;
    void *m_container = nullptr;
    Win32Windows m_windows;
    std::unique_ptr<NativeHostWindow> m_host;
};

} // namespace

std::unique_ptr<QWinWidgetPlatform> QWinWidgetPlatform::create(QWinWidget *panel,
                                                               AEGP_PlatformViewRef container)
{
    return std::make_unique<Win32Platform>(panel, static_cast<void *>(container));
}
