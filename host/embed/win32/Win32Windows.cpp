#include "host/embed/win32/Win32Windows.h"

#include <windows.h>

namespace {

HWND hwnd(void *window)
{
    return static_cast<HWND>(window);
}

bool isKeyDown(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

// WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
constexpr LONG kEmbeddedChildStyle = 0x46000000;

} // namespace

PanelFocusRules::Window Win32Windows::focusedWindow() const
{
    return GetFocus();
}

bool Win32Windows::isLiveWindow(Window window) const
{
    return window && IsWindow(hwnd(window));
}

void Win32Windows::giveFocus(Window window)
{
    SetFocus(hwnd(window));
}

void Win32Windows::setWindowEnabled(Window window, bool enabled)
{
    EnableWindow(hwnd(window), enabled ? TRUE : FALSE);
}

void Win32Windows::activateWindow(Window window)
{
    SetActiveWindow(hwnd(window));
}

void Win32Windows::bringWindowToTop(Window window)
{
    BringWindowToTop(hwnd(window));
}

void Win32Windows::embedChildWindow(void *child, void *container)
{
    if (!child || !container)
        return;
    SetWindowLongA(hwnd(child), GWL_STYLE, kEmbeddedChildStyle);
    SetParent(hwnd(child), hwnd(container));
}

bool Win32Windows::isFocusInMessage(const void *message, PanelFocusRules::FocusReason *reason)
{
    const auto *msg = static_cast<const MSG *>(message);
    if (!msg || msg->message != WM_SETFOCUS)
        return false;
    if (reason)
        *reason = PanelFocusRules::nativeFocusReason(isKeyDown(VK_LBUTTON), isKeyDown(VK_RBUTTON),
                                                     isKeyDown(VK_SHIFT));
    return true;
}
