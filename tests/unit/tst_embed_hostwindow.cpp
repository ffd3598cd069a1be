// The container subclassing of the Windows embedding, run against a stand-in for user32
// (fakewin/windows.h): what reaches the panel and the host's own procedure, and what is left
// on the container when the panel goes.

#include "host/embed/win32/NativeHostWindow.cpp"

#include <QtTest>

#include <memory>

namespace {

QStringList g_hostMessages; // what the host's own procedure received

LRESULT CALLBACK hostProc(HWND, UINT message, WPARAM, LPARAM)
{
    g_hostMessages << QString::number(message);
    return 0;
}

// A procedure someone else installed on top of ours.
WNDPROC g_belowOther = nullptr;
LRESULT CALLBACK otherProc(HWND w, UINT message, WPARAM wp, LPARAM lp)
{
    return CallWindowProcW(g_belowOther, w, message, wp, lp);
}

struct Panel final : NativeHostWindow::Client
{
    Panel(HWND container) : host(std::make_unique<NativeHostWindow>(container, this)) {}
    void hostWindowPainted() override { heard << "paint"; }
    void hostWindowSizing() override { heard << "sizing"; }
    void hostWindowDestroyed() override
    {
        HWND container = static_cast<HWND>(host->container());
        // The panel dies here: by now the container must not lead to it any more.
        unhookedBeforeDeath = container->proc == &hostProc && !GetPropW(container, L"WinTools");
        host.reset();
    }
    std::unique_ptr<NativeHostWindow> host;
    QStringList heard;
    bool unhookedBeforeDeath = false;
};

LRESULT send(HWND w, UINT message)
{
    return w->proc(w, message, 0, 0);
}

} // namespace

class TestEmbedHostWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_container = HWND__{};
        m_container.proc = &hostProc;
        g_hostMessages.clear();
    }

    // Paint stays with the panel and the default procedure; sizing goes on to the host.
    void messagesWhileAttached()
    {
        Panel panel(&m_container);
        QCOMPARE(GetPropW(&m_container, L"WinTools"), static_cast<HANDLE>(panel.host.get()));
        send(&m_container, WM_PAINT);
        send(&m_container, WM_SIZING);
        QCOMPARE(panel.heard, QStringList({"paint", "sizing"}));
        QCOMPARE(g_hostMessages, QStringList{"532"});
        QCOMPARE(m_container.defaultCalls, 1);
        panel.host->release();
        QVERIFY(m_container.proc == &hostProc);
        QVERIFY(m_container.props.empty());
    }

    void destroyUnhooksBeforeThePanelDies()
    {
        auto *panel = new Panel(&m_container);
        send(&m_container, WM_DESTROY);
        QVERIFY(panel->unhookedBeforeDeath);
        QCOMPARE(g_hostMessages, QStringList{"2"}); // the host still sees its destroy
        send(&m_container, WM_PAINT);
        QCOMPARE(panel->heard, QStringList());
        delete panel;
    }

    // Someone subclassed the container after us: our procedure cannot leave the chain, passes
    // everything on, and a later panel reuses it instead of calling itself.
    void procedureInstalledOnTop()
    {
        auto first = std::make_unique<Panel>(&m_container);
        g_belowOther = m_container.proc;
        m_container.proc = &otherProc;
        first.reset();
        QVERIFY(m_container.proc == &otherProc);
        send(&m_container, WM_SIZING);
        QCOMPARE(g_hostMessages, QStringList{"532"});

        Panel second(&m_container);
        send(&m_container, WM_SIZING);
        QCOMPARE(second.heard, QStringList{"sizing"});
        QCOMPARE(g_hostMessages, QStringList({"532", "532"}));
    }

private:
    HWND__ m_container;
};

QTEST_GUILESS_MAIN(TestEmbedHostWindow)
#include "tst_embed_hostwindow.moc"
