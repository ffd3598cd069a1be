#pragma once

// Keyboard focus and modality of a panel that lives in a host's container window, written
// over a few window operations so that the same rules serve the native container of the real
// host and the QWidget container of the test host. No Qt and no platform types here.
//
// Worked example: the user types in a field of the panel and a modal message box of the panel
// appears. dialogShown(true) remembers the field's window and disables the container (the
// host's own window no longer feeds the panel while the box waits); when the box is hidden,
// dialogHidden() enables the container again and then gives the focus back to the field, or
// to the container itself when that window has gone in the meantime.
class PanelFocusRules
{
public:
    // An opaque window: a native handle on Windows, a QWidget pointer in the test host.
    using Window = void *;

    enum class FocusReason { Mouse, Tab, Backtab };

    // What the rules need from the platform's windows.
    class Windows
    {
    public:
        using Window = PanelFocusRules::Window;

        virtual ~Windows() = default;
        virtual Window focusedWindow() const = 0;
        // False for a window that was destroyed since it was remembered.
        virtual bool isLiveWindow(Window window) const = 0;
        virtual void giveFocus(Window window) = 0;
        virtual void setWindowEnabled(Window window, bool enabled) = 0;
        virtual void activateWindow(Window window) = 0;
        virtual void bringWindowToTop(Window window) = 0;
    };

    PanelFocusRules(Window container, Windows &windows);

    // The panel is being shown: remember the focused window unless one is remembered already.
    void panelShown();
    // A dialog of the panel appears: remember the focused window (or the container); a modal
    // dialog disables the container until dialogHidden().
    void dialogShown(bool modal);
    // A dialog of the panel went away: enable the container again, then restore the focus.
    void dialogHidden();
    void dialogClosed();
    // A hidden modal dialog lost activation: keep the host's container in front.
    void modalDialogDeactivated();
    // A child left the panel while it had disabled the container.
    void childRemoved();
    // Tab past the last child, or backtab past the first: the focus leaves for the container.
    void focusLeavesPanel();

    bool isContainerDisabled() const { return m_reenableContainer; }

    // How the focus arrived from the native side: a mouse button (left or right) wins over
    // Shift, which means a backward tab.
    static FocusReason nativeFocusReason(bool leftButton, bool rightButton, bool shift);

private:
    void rememberFocus();
    void restoreFocus();
    void enableContainer();

    Window m_container = nullptr;
    Windows &m_windows;
    Window m_previousFocus = nullptr;
    bool m_reenableContainer = false;
};
