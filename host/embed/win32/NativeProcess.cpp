#include "host/embed/win32/NativeProcess.h"

#include <windows.h>

#include <string>

namespace {

// A hook procedure receives no context of its own: its handle and its work are process-wide.
HHOOK g_hook = nullptr;
void (*g_drive)() = nullptr;
bool g_driving = false;

LRESULT CALLBACK messageHook(int code, WPARAM wParam, LPARAM lParam)
{
    // A posted event may open a modal dialog whose own loop fetches messages on this thread;
    // that loop delivers Qt's posted events itself, so the hook does not recurse into them.
    if (code == HC_ACTION && g_drive && !g_driving) {
        g_driving = true;
        g_drive();
        g_driving = false;
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

HMODULE ownModule()
{
    HMODULE module = nullptr;
    const auto address = reinterpret_cast<LPCWSTR>(&ownModule);
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            address, &module))
        return nullptr;
    return module;
}

// GetModuleFileName truncates silently to the buffer: grow it until the name fits.
std::wstring moduleFileName(HMODULE module)
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, &name[0], DWORD(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        if (name.size() >= 32768)
            return {};
        name.resize(name.size() * 2);
    }
}

} // namespace

bool NativeProcess::installMessageHook(void (*drive)())
{
    if (g_hook)
        return true;
    g_drive = drive;
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, &messageHook, nullptr, GetCurrentThreadId());
    if (!g_hook)
        g_drive = nullptr;
    return g_hook != nullptr;
}

bool NativeProcess::hasMessageHook()
{
    return g_hook != nullptr;
}

std::wstring NativeProcess::ownModuleFileName()
{
    const HMODULE module = ownModule();
    return module ? moduleFileName(module) : std::wstring();
}

bool NativeProcess::pinOwnModule()
{
    const std::wstring name = ownModuleFileName();
    return !name.empty() && LoadLibraryW(name.c_str()) != nullptr;
}
