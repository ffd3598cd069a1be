#pragma once

#include "host/embed/PanelFocusRules.h"

// The window operations of the focus rules on Win32, and the two native steps of embedding a
// Qt window in the host's container. No <windows.h> and no Qt in this header.
//
// Worked example: embedChildWindow(panelWindow, container) gives the panel's native window the
// style of a child (0x46000000: child, clip siblings, clip children) and makes the container its
// parent; from then on the panel moves, hides and dies with the host's panel frame.
class Win32Windows : public PanelFocusRules::Windows
{
public:
    Window focusedWindow() const override;
    bool isLiveWindow(Window window) const override;
    void giveFocus(Window window) override;
    void setWindowEnabled(Window window, bool enabled) override;
    void activateWindow(Window window) override;
    void bringWindowToTop(Window window) override;

    static void embedChildWindow(void *child, void *container);
    // True when `message` (a MSG) tells a window that it received the keyboard focus; `reason`
    // then says how, read from the mouse buttons and the Shift key at that moment.
    static bool isFocusInMessage(const void *message, PanelFocusRules::FocusReason *reason);
};
