#pragma once

#include "host/SuiteCache.h"
#include "host/aegp.h"

// The general part of the plug-in object: it takes the host's suites, puts "cellKit" in the
// Window menu and registers the five hooks. Host errors are thrown as integers (the failing
// call's result, 13 for a missing workspace panel suite, 516 from the suite cache); the hook
// functions stop them.
//
// Example: the user picks Window > cellKit; the host calls CommandHookFunc with our command,
// OnCommand asks the host to toggle the "cellKit" panel, and the hook answers 0 whatever
// happened.
class vdQtAE
{
public:
    vdQtAE(SPBasicSuite *basicSuite, AEGP_PluginID pluginId);
    virtual ~vdQtAE();

    vdQtAE(const vdQtAE &) = delete;
    vdQtAE &operator=(const vdQtAE &) = delete;

    virtual void OnCommand(AEGP_Command command, AEGP_HookPriority priority,
                           A_Boolean alreadyHandled, A_Boolean *handled);
    virtual void OnIdle(A_long *maxSleep);
    virtual void OnDeath();
    virtual void OnCreatePanel(AEGP_PlatformViewRef container, AEGP_PanelH panel,
                               AEGP_PanelFunctions1 *functions, AEGP_PanelRefcon *panelRefcon);
    void OnUpdateMenu();

    AEGP_Command command() const { return m_command; }

protected:
    SPBasicSuite *m_basicSuite;
    AEGP_PluginID m_pluginId;
    SuiteCache m_suites;
    AEGP_Command m_command = 0;
    const AEGP_PanelSuite1 *m_panelSuite = nullptr;
    SPBasicSuite *m_panelSuiteBasic = nullptr; // only to give the panel suite back
    const A_u_char *m_matchName = nullptr;

private:
    void start();
    void releasePanelSuite();
};
