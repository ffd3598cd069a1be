#pragma once

// The host's container window of one panel, subclassed so that the panel hears about it.
// Plain Win32 behind a header without <windows.h> or Qt: handles travel as void pointers.
//
// Worked example: the host creates the panel in container window C. NativeHostWindow(C, panel)
// saves C's window procedure, installs HostWindowProc in its place and stores itself on C
// under the property "WinTools". C's first paint then reaches panel->hostWindowPainted() (the
// panel shows itself and fills C), each sizing step hostWindowSizing(), and the destruction of C
// hostWindowDestroyed(). release(), which the destructor also runs, puts C's own procedure
// back and removes "WinTools", so nothing reaches the panel after it.
class NativeHostWindow
{
public:
    // The panel's side of the subclassing.
    class Client
    {
    public:
        virtual void hostWindowPainted() = 0;
        virtual void hostWindowSizing() = 0;
        // The container is being destroyed; the subclassing is already released.
        virtual void hostWindowDestroyed() = 0;

    protected:
        ~Client() = default;
    };

    struct Rect
    {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    // Property on the container that leads HostWindowProc to this object.
    static const wchar_t *const kPropertyName;

    NativeHostWindow(void *container, Client *client);
    ~NativeHostWindow();
    NativeHostWindow(const NativeHostWindow &) = delete;
    NativeHostWindow &operator=(const NativeHostWindow &) = delete;

    // Undoes the subclassing; safe to call more than once.
    void release();
    bool isAttached() const { return m_attached; }

    void *container() const { return m_container; }
    Client *client() const { return m_client; }
    // The container's previous window procedure (a WNDPROC), where messages are passed on.
    void *previousProcedure() const { return m_previousProcedure; }

    Rect clientRect() const;
    // Asks for a repaint of the whole client area without erasing the background.
    void invalidate() const;

private:
    void *m_container = nullptr;
    Client *m_client = nullptr;
    void *m_previousProcedure = nullptr;
    bool m_attached = false;
};
