#pragma once

// Just enough of user32 for the container subclassing to run in a Linux test: a window is a
// procedure slot, named properties and a client rectangle; messages are plain calls.

#include <cstdint>
#include <map>
#include <string>

typedef unsigned int UINT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::intptr_t LONG_PTR;
typedef long LONG;
typedef int BOOL;
typedef void *HANDLE;
typedef struct HWND__ *HWND;
#define CALLBACK
#define FALSE 0
#define TRUE 1
typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct RECT
{
    LONG left, top, right, bottom;
};

enum { GWLP_WNDPROC = -4, WM_DESTROY = 2, WM_PAINT = 15, WM_NCDESTROY = 0x82, WM_SIZING = 532 };

struct HWND__
{
    WNDPROC proc = nullptr;
    std::map<std::wstring, HANDLE> props;
    RECT client{0, 0, 0, 0};
    int defaultCalls = 0;
};

inline HANDLE GetPropW(HWND w, const wchar_t *name)
{
    const auto it = w->props.find(name);
    return it == w->props.end() ? nullptr : it->second;
}
inline BOOL SetPropW(HWND w, const wchar_t *name, HANDLE value)
{
    w->props[name] = value;
    return TRUE;
}
inline HANDLE RemovePropW(HWND w, const wchar_t *name)
{
    HANDLE old = GetPropW(w, name);
    w->props.erase(name);
    return old;
}
inline LONG_PTR GetWindowLongPtrW(HWND w, int)
{
    return reinterpret_cast<LONG_PTR>(w->proc);
}
inline LONG_PTR SetWindowLongPtrW(HWND w, int, LONG_PTR proc)
{
    const LONG_PTR old = GetWindowLongPtrW(w, GWLP_WNDPROC);
    w->proc = reinterpret_cast<WNDPROC>(proc);
    return old;
}
inline LRESULT CallWindowProcW(WNDPROC proc, HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return proc(w, m, wp, lp);
}
inline LRESULT DefWindowProcW(HWND w, UINT, WPARAM, LPARAM)
{
    ++w->defaultCalls;
    return 0;
}
inline BOOL GetClientRect(HWND w, RECT *r)
{
    *r = w->client;
    return TRUE;
}
inline BOOL InvalidateRect(HWND, const RECT *, BOOL)
{
    return TRUE;
}
