// The Win32 layer of the panel embedding against a real user32 (Wine's, in scripts/check-windows):
// real windows, real message dispatch, real focus. tst_embed_hostwindow runs the same
// subclassing against our own stand-in on Linux; this program checks what that stand-in assumes.
// No Qt here: one line per failed check, the number of failures as the exit code.

#include "host/embed/PanelFocusRules.h"
#include "host/embed/win32/NativeHostWindow.h"
#include "host/embed/win32/NativeProcess.h"
#include "host/embed/win32/Win32Windows.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

int g_failures = 0;
const char *g_case = "";

void check(bool ok, const char *what, int line)
{
    if (ok)
        return;
    ++g_failures;
    std::printf("FAIL %s, line %d: %s\n", g_case, line, what);
}
#define CHECK(condition) check((condition), #condition, __LINE__)

// What the host's own procedures of the container received, of the messages the panel cares for.
std::vector<UINT> g_hostMessages;

bool isWatched(UINT message)
{
    return message == WM_PAINT || message == WM_SIZING || message == WM_DESTROY ||
           message == WM_NCDESTROY;
}

LRESULT CALLBACK hostProcW(HWND w, UINT message, WPARAM wp, LPARAM lp)
{
    if (isWatched(message))
        g_hostMessages.push_back(message);
    return DefWindowProcW(w, message, wp, lp);
}

LRESULT CALLBACK hostProcA(HWND w, UINT message, WPARAM wp, LPARAM lp)
{
    if (isWatched(message))
        g_hostMessages.push_back(message);
    return DefWindowProcA(w, message, wp, lp);
}

// Another plug-in's procedure installed on top of ours, through either character set.
WNDPROC g_belowOther = nullptr;
LRESULT CALLBACK otherProcW(HWND w, UINT message, WPARAM wp, LPARAM lp)
{
    return CallWindowProcW(g_belowOther, w, message, wp, lp);
}
LRESULT CALLBACK otherProcA(HWND w, UINT message, WPARAM wp, LPARAM lp)
{
    return CallWindowProcA(g_belowOther, w, message, wp, lp);
}

// The procedure as the window's own character set reports it (the other set gets a thunk).
WNDPROC currentProc(HWND w)
{
    return reinterpret_cast<WNDPROC>(IsWindowUnicode(w) ? GetWindowLongPtrW(w, GWLP_WNDPROC)
                                                        : GetWindowLongPtrA(w, GWLP_WNDPROC));
}

void registerClasses()
{
    WNDCLASSW frame{};
    frame.lpfnWndProc = &DefWindowProcW;
    frame.hInstance = GetModuleHandleW(nullptr);
    frame.lpszClassName = L"CellKitCheckFrame";
    RegisterClassW(&frame);
    WNDCLASSW wide{};
    wide.lpfnWndProc = &hostProcW;
    wide.hInstance = frame.hInstance;
    wide.lpszClassName = L"CellKitCheckContainerW";
    RegisterClassW(&wide);
    WNDCLASSA ansi{};
    ansi.lpfnWndProc = &hostProcA;
    ansi.hInstance = frame.hInstance;
    ansi.lpszClassName = "CellKitCheckContainerA";
    RegisterClassA(&ansi);
}

// The host's panel frame and the container it gives the panel, a Unicode or an ANSI window.
struct HostPanel
{
    explicit HostPanel(bool unicode)
    {
        frame = CreateWindowExW(0, L"CellKitCheckFrame", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        container = unicode ? CreateWindowExW(0, L"CellKitCheckContainerW", L"", style, 0, 0, 200,
                                              100, frame, nullptr, nullptr, nullptr)
                            : CreateWindowExA(0, "CellKitCheckContainerA", "", style, 0, 0, 200,
                                              100, frame, nullptr, nullptr, nullptr);
        SetForegroundWindow(frame);
        g_hostMessages.clear();
    }
    ~HostPanel() { DestroyWindow(frame); }
    HWND frame = nullptr;
    HWND container = nullptr;
};

struct Panel final : NativeHostWindow::Client
{
    explicit Panel(HWND container, WNDPROC hostProc)
        : host(std::make_unique<NativeHostWindow>(container, this)), hostProc(hostProc)
    {}
    void hostWindowPainted() override { heard.push_back("paint"); }
    void hostWindowSizing() override { heard.push_back("sizing"); }
    void hostWindowDestroyed() override
    {
        HWND container = static_cast<HWND>(host->container());
        unhookedBeforeDeath =
            currentProc(container) == hostProc && !GetPropW(container, L"WinTools");
        host.reset();
    }
    std::unique_ptr<NativeHostWindow> host;
    WNDPROC hostProc;
    std::vector<std::string> heard;
    bool unhookedBeforeDeath = false;
};

using Heard = std::vector<std::string>;
using Messages = std::vector<UINT>;

void sendSizing(HWND w)
{
    RECT r{0, 0, 200, 100};
    SendMessageW(w, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
}

// A real paint cycle: the panel paints, the default procedure validates the region (or paint
// messages would never stop), and the host's procedure sees none of it.
void paintAndSizingWhileAttached()
{
    HostPanel host(true);
    Panel panel(host.container, &hostProcW);
    CHECK(GetPropW(host.container, L"WinTools") == panel.host.get());
    CHECK(currentProc(host.container) == &HostWindowProc);

    SetWindowPos(host.container, nullptr, 0, 0, 320, 240, SWP_NOZORDER | SWP_NOMOVE);
    const NativeHostWindow::Rect r = panel.host->clientRect();
    CHECK(r.left == 0 && r.top == 0 && r.right == 320 && r.bottom == 240);

    panel.host->invalidate();
    UpdateWindow(host.container);
    CHECK(!GetUpdateRect(host.container, nullptr, FALSE));
    sendSizing(host.container);
    CHECK((panel.heard == Heard{"paint", "sizing"}));
    CHECK((g_hostMessages == Messages{WM_SIZING}));

    panel.host->release();
    CHECK(currentProc(host.container) == &hostProcW);
    CHECK(!GetPropW(host.container, L"WinTools"));
    panel.host->invalidate();
    UpdateWindow(host.container);
    CHECK((panel.heard == Heard{"paint", "sizing"}));
    CHECK((g_hostMessages == Messages{WM_SIZING, WM_PAINT}));
}

// The host's windows are Unicode and stay so while the panel is attached: text outside the ANSI
// code page survives. An ANSI container keeps its text and is an ANSI window again on release.
void containerTextKeepsItsCharacterSet()
{
    const wchar_t wide[] = L"Sc\u00e8ne \u65e5\u672c \u0416";
    {
        HostPanel host(true);
        Panel panel(host.container, &hostProcW);
        CHECK(IsWindowUnicode(host.container));
        SetWindowTextW(host.container, wide);
        wchar_t back[64] = {};
        GetWindowTextW(host.container, back, 64);
        CHECK(std::wstring(back) == wide);
        panel.host->release();
        CHECK(IsWindowUnicode(host.container));
        GetWindowTextW(host.container, back, 64);
        CHECK(std::wstring(back) == wide);
    }
    {
        const char ansi[] = "Sc\xe8ne";
        HostPanel host(false);
        CHECK(!IsWindowUnicode(host.container));
        Panel panel(host.container, &hostProcA);
        SetWindowTextA(host.container, ansi);
        char back[64] = {};
        GetWindowTextA(host.container, back, 64);
        CHECK(std::string(back) == ansi);
        panel.host->release();
        CHECK(!IsWindowUnicode(host.container));
        CHECK(currentProc(host.container) == &hostProcA);
        GetWindowTextA(host.container, back, 64);
        CHECK(std::string(back) == ansi);
    }
}

void destroyUnhooksBeforeThePanelDies()
{
    for (const bool unicode : {true, false}) {
        HostPanel host(unicode);
        auto *panel = new Panel(host.container, unicode ? &hostProcW : &hostProcA);
        DestroyWindow(host.container);
        CHECK(panel->unhookedBeforeDeath);
        CHECK(!panel->host);
        CHECK((g_hostMessages == Messages{WM_DESTROY, WM_NCDESTROY}));
        delete panel;
    }
}

// Someone subclassed the container after us, with the wide or the ANSI functions: our procedure
// stays in the chain passing everything on, and a later panel reuses it.
void procedureInstalledOnTop()
{
    for (const bool otherIsUnicode : {true, false}) {
        HostPanel host(true);
        auto first = std::make_unique<Panel>(host.container, &hostProcW);
        const WNDPROC other = otherIsUnicode ? &otherProcW : &otherProcA;
        g_belowOther = reinterpret_cast<WNDPROC>(
            otherIsUnicode ? SetWindowLongPtrW(host.container, GWLP_WNDPROC, LONG_PTR(other))
                           : SetWindowLongPtrA(host.container, GWLP_WNDPROC, LONG_PTR(other)));
        first.reset();
        CHECK(currentProc(host.container) == other);
        CHECK(GetPropW(host.container, L"WinTools.previous") != nullptr);
        sendSizing(host.container);
        CHECK((g_hostMessages == Messages{WM_SIZING}));

        Panel second(host.container, &hostProcW);
        CHECK(!GetPropW(host.container, L"WinTools.previous"));
        sendSizing(host.container);
        CHECK((second.heard == Heard{"sizing"}));
        CHECK((g_hostMessages == Messages{WM_SIZING, WM_SIZING}));
        SetWindowTextW(host.container, L"Sc\u00e8ne");
        wchar_t back[16] = {};
        GetWindowTextW(host.container, back, 16);
        CHECK(std::wstring(back) == L"Sc\u00e8ne");
    }
}

// A modal dialog of the panel disables the host's container; when it goes the container is
// enabled before the focus returns to the panel's field (Windows gives no focus into a disabled
// window), or to the container when the field went meanwhile.
void modalDialogAndFocus()
{
    for (const bool fieldDestroyed : {false, true}) {
        HostPanel host(true);
        HWND field = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 100,
                                     20, host.container, nullptr, nullptr, nullptr);
        SetFocus(field);
        CHECK(GetFocus() == field);
        Win32Windows windows;
        PanelFocusRules rules(host.container, windows);

        rules.dialogShown(true);
        CHECK(!IsWindowEnabled(host.container));
        HWND dialog = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 20,
                                      host.frame, nullptr, nullptr, nullptr);
        SetFocus(dialog);
        CHECK(GetFocus() == dialog);
        if (fieldDestroyed)
            DestroyWindow(field);
        DestroyWindow(dialog);
        rules.dialogHidden();
        CHECK(IsWindowEnabled(host.container));
        CHECK(GetFocus() == (fieldDestroyed ? host.container : field));
    }
}

int g_driven = 0;
void drive()
{
    ++g_driven;
}

// The host's loop fetches a message on this thread: the hook lets Qt deliver what was posted.
void messageHookAndOwnModule()
{
    CHECK(NativeProcess::installMessageHook(&drive));
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    MSG msg{};
    CHECK(GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message == WM_APP);
    CHECK(g_driven == 1);

    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    CHECK(NativeProcess::ownModuleFileName() == own);
    CHECK(NativeProcess::pinOwnModule());
}

} // namespace

int main()
{
    registerClasses();
    const struct
    {
        const char *name;
        void (*run)();
    } cases[] = {
        {"paintAndSizingWhileAttached", &paintAndSizingWhileAttached},
        {"containerTextKeepsItsCharacterSet", &containerTextKeepsItsCharacterSet},
        {"destroyUnhooksBeforeThePanelDies", &destroyUnhooksBeforeThePanelDies},
        {"procedureInstalledOnTop", &procedureInstalledOnTop},
        {"modalDialogAndFocus", &modalDialogAndFocus},
        {"messageHookAndOwnModule", &messageHookAndOwnModule},
    };
    for (const auto &c : cases) {
        g_case = c.name;
        const int before = g_failures;
        c.run();
        std::printf("%s %s\n", g_failures == before ? "PASS" : "FAIL", c.name);
    }
    std::printf("%d failure(s)\n", g_failures);
    return g_failures;
}
