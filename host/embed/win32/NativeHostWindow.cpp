#include "host/embed/win32/NativeHostWindow.h"

#include <windows.h>

const char *const NativeHostWindow::kPropertyName = "WinTools";

namespace {

// Kept on a container whose subclassing could not be undone because another window procedure
// was installed on top of ours: HostWindowProc stays in that chain and must still pass every
// message to the procedure it replaced.
const char kOrphanedPrevious[] = "WinTools.previous";

HWND hwnd(void *window)
{
    return static_cast<HWND>(window);
}

WNDPROC procedure(void *p)
{
    return reinterpret_cast<WNDPROC>(p);
}

} // namespace

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *host = static_cast<NativeHostWindow *>(GetPropA(window, NativeHostWindow::kPropertyName));
    if (!host) {
        if (auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kOrphanedPrevious))) {
            if (message == WM_NCDESTROY)
                RemovePropA(window, kOrphanedPrevious);
            return CallWindowProcA(previous, window, message, wParam, lParam);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const WNDPROC previous = procedure(host->previousProcedure());
    NativeHostWindow::Client *client = host->client();
    auto passOn = [&]() {
        return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                        : DefWindowProcA(window, message, wParam, lParam);
    };
    switch (message) {
    case WM_DESTROY:
        // Unhook before the panel hears of it: closing may delete the panel, and any message
        // sent to the container from here on must find no panel.
        host->release();
        client->hostWindowDestroyed();
        return passOn();
    case WM_PAINT:
        client->hostWindowPainted();
        // The panel covers the whole client area; the host's procedure would only paint under it.
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SIZING:
        client->hostWindowSizing();
        return passOn();
    default:
        return passOn();
    }
}

NativeHostWindow::NativeHostWindow(void *container, Client *client)
    : m_container(container), m_client(client)
{
    if (!m_container || !m_client)
        return;
    HWND window = hwnd(m_container);
    // One panel per container: a newer one takes the container over.
    if (auto *earlier = static_cast<NativeHostWindow *>(GetPropA(window, kPropertyName)))
        earlier->release();
    // The property first: from the moment HostWindowProc runs it must find us.
    SetPropA(window, kPropertyName, this);
    if (void *orphaned = GetPropA(window, kOrphanedPrevious)) {
        // HostWindowProc is still in the chain below another procedure; installing it a second
        // time would have it call itself.
        m_previousProcedure = orphaned;
        RemovePropA(window, kOrphanedPrevious);
    } else {
        m_previousProcedure = reinterpret_cast<void *>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc));
    }
    m_attached = true;
}

NativeHostWindow::~NativeHostWindow()
{
    release();
}

void NativeHostWindow::release()
{
    if (!m_attached)
        return;
    m_attached = false;
    HWND window = hwnd(m_container);
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (current == &HostWindowProc)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProcedure));
    else if (m_previousProcedure)
        SetPropA(window, kOrphanedPrevious, m_previousProcedure);
    RemovePropA(window, kPropertyName);
}

NativeHostWindow::Rect NativeHostWindow::clientRect() const
{
    RECT r{};
    if (!m_container || !GetClientRect(hwnd(m_container), &r))
        return {};
    return Rect{int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

void NativeHostWindow::invalidate() const
{
    if (m_container)
        InvalidateRect(hwnd(m_container), nullptr, FALSE);
}
