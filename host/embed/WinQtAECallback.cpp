#include "host/embed/WinQtAECallback.h"

namespace {

// The host calls the table with the refcon it got from the create-panel hook: the panel.
// WinQtAECallback is the first base of every panel, so the panel's address is its own.
WinQtAECallback *panelOf(AEGP_PanelRefcon refcon)
{
    return reinterpret_cast<WinQtAECallback *>(refcon);
}

A_Err getSnapSizesFunc(AEGP_PanelRefcon refcon, A_LPoint *sizes, A_long *count)
{
    try {
        panelOf(refcon)->GetSnapSizes(sizes, count);
    } catch (...) {
    }
    return 0;
}

A_Err populateFlyoutFunc(AEGP_PanelRefcon refcon, AEGP_FlyoutMenuItem *items, A_long *count)
{
    try {
        panelOf(refcon)->PopulateFlyout(items, count);
    } catch (...) {
    }
    return 0;
}

A_Err doFlyoutCommandFunc(AEGP_PanelRefcon refcon, AEGP_FlyoutMenuCmdID command)
{
    try {
        panelOf(refcon)->DoFlyoutCommand(command);
    } catch (...) {
    }
    return 0;
}

} // namespace

WinQtAECallback::WinQtAECallback(SPBasicSuite *basicSuite, AEGP_PanelH panel,
                                 AEGP_PlatformViewRef container,
                                 AEGP_PanelFunctions1 *functions)
    : QWinWidget(container)
    , m_containerRef(container)
    , m_panel(panel)
{
    m_appSuiteBasic = basicSuite;
    m_appSuite = static_cast<const PFAppSuite6 *>(acquireOrThrow(kPFAppSuite, kPFAppSuiteVersion6));
    m_panelSuiteBasic = basicSuite;
    try {
        m_panelSuite = static_cast<const AEGP_PanelSuite1 *>(
            acquireOrThrow(kAEGPWorkspacePanelSuite, kAEGPWorkspacePanelSuiteVersion1));
    } catch (...) {
        // The destructor does not run for a half-built object: give the first suite back here.
        m_appSuiteBasic->ReleaseSuite(kPFAppSuite, kPFAppSuiteVersion6);
        throw;
    }
    if (functions) {
        functions->GetSnapSizes = getSnapSizesFunc;
        functions->PopulateFlyout = populateFlyoutFunc;
        functions->DoFlyoutCommand = doFlyoutCommandFunc;
    }
}

WinQtAECallback::~WinQtAECallback()
{
    if (m_panelSuite && m_panelSuiteBasic)
        m_panelSuiteBasic->ReleaseSuite(kAEGPWorkspacePanelSuite, kAEGPWorkspacePanelSuiteVersion1);
    if (m_appSuite && m_appSuiteBasic)
        m_appSuiteBasic->ReleaseSuite(kPFAppSuite, kPFAppSuiteVersion6);
}

const void *WinQtAECallback::acquireOrThrow(const char *name, int version)
{
    const void *suite = nullptr;
    if (!m_appSuiteBasic || m_appSuiteBasic->AcquireSuite(name, version, &suite) != 0 || !suite)
        throw 13;
    return suite;
}

void WinQtAECallback::GetSnapSizes(A_LPoint *sizes, A_long *count)
{
    sizes[0].x = 100;
    sizes[0].y = 100;
    sizes[1].x = 200;
    sizes[1].y = 400;
    *count = 2;
}

void WinQtAECallback::PopulateFlyout(AEGP_FlyoutMenuItem *, A_long *) {}

void WinQtAECallback::DoFlyoutCommand(AEGP_FlyoutMenuCmdID) {}
