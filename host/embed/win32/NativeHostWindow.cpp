#include "host/embed/win32/NativeHostWindow.h"

#include <windows.h>

const wchar_t *const NativeHostWindow::kPropertyName = L"WinTools";

// Every call below is the wide-character one: a window subclassed through the ANSI functions
// becomes an ANSI window, and the host's Unicode text would then pass through the ANSI code
// page ("Scène 日本" read back as "Scène ??"). HostWindowProc is a Unicode procedure; the
// procedure it replaces is called through CallWindowProcW, which converts for an ANSI one. (An
// ANSI container is thus a Unicode window while attached, and an ANSI one again on release.)

namespace {

// Kept on a container whose subclassing could not be undone because another window procedure
// was installed on top of ours: HostWindowProc stays in that chain and must still pass every
// message to the procedure it replaced.
const wchar_t kOrphanedPrevious[] = L"WinTools.previous";

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
    auto *host = static_cast<NativeHostWindow *>(GetPropW(window, NativeHostWindow::kPropertyName));
    if (!host) {
        if (auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kOrphanedPrevious))) {
            if (message == WM_NCDESTROY)
                RemovePropW(window, kOrphanedPrevious);
            return CallWindowProcW(previous, window, message, wParam, lParam);
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const WNDPROC previous = procedure(host->previousProcedure());
    NativeHostWindow::Client *client = host->client();
    auto passOn = [&]() {
        return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                        : DefWindowProcW(window, message, wParam, lParam);
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
        return DefWindowProcW(window, message, wParam, lParam);
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
    if (auto *earlier = static_cast<NativeHostWindow *>(GetPropW(window, kPropertyName)))
        earlier->release();
    // The property first: from the moment HostWindowProc runs it must find us.
    SetPropW(window, kPropertyName, this);
    if (void *orphaned = GetPropW(window, kOrphanedPrevious)) {
        // HostWindowProc is still in the chain below another procedure; installing it a second
        // time would have it call itself.
        m_previousProcedure = orphaned;
        RemovePropW(window, kOrphanedPrevious);
    } else {
        m_previousProcedure = reinterpret_cast<void *>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindowProc));
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
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current == &HostWindowProc)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProcedure));
    else if (m_previousProcedure)
        SetPropW(window, kOrphanedPrevious, m_previousProcedure);
    RemovePropW(window, kPropertyName);
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
