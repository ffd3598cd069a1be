#include "host/vdQtAE.h"

#include "host/HookFunctions.h"

namespace {
// The panel's match name and the menu label are the same text.
const A_u_char kMatchName[] = "cellKit";

void check(A_Err err)
{
    if (err != A_Err_NONE)
        throw static_cast<int>(err);
}
} // namespace

vdQtAE::vdQtAE(SPBasicSuite *basicSuite, AEGP_PluginID pluginId)
    : m_basicSuite(basicSuite), m_pluginId(pluginId), m_suites(basicSuite)
{
    try {
        start();
    } catch (...) {
        // A half-built object is destroyed by the language without its destructor: give the
        // panel suite back here; the suite cache member releases what it holds on its own.
        releasePanelSuite();
        throw;
    }
}

vdQtAE::~vdQtAE()
{
    releasePanelSuite();
}

void vdQtAE::start()
{
    const void *panelSuite = nullptr;
    if (m_basicSuite->AcquireSuite(kAEGPWorkspacePanelSuite, kAEGPWorkspacePanelSuiteVersion1,
                                   &panelSuite)
            != 0
        || !panelSuite)
        throw static_cast<int>(A_Err_MISSING_SUITE);
    m_panelSuite = static_cast<const AEGP_PanelSuite1 *>(panelSuite);
    m_panelSuiteBasic = m_basicSuite;
    m_matchName = kMatchName;

    const AEGP_CommandSuite1 *commands = m_suites.commandSuite();
    check(commands->AEGP_GetUniqueCommand(&m_command));
    // -2 is the host's sorted position; the Window menu refuses top and bottom.
    check(commands->AEGP_InsertMenuCommand(m_command, reinterpret_cast<const A_char *>(kMatchName),
                                           AEGP_Menu_WINDOW, AEGP_MENU_INSERT_SORTED));

    const AEGP_RegisterSuite5 *hooks = m_suites.registerSuite();
    check(hooks->AEGP_RegisterCommandHook(m_pluginId, AEGP_HP_BeforeAE, AEGP_Command_ALL,
                                          &CommandHookFunc,
                                          reinterpret_cast<AEGP_CommandRefcon>(this)));
    check(hooks->AEGP_RegisterIdleHook(m_pluginId, &IdleHookFunc,
                                       reinterpret_cast<AEGP_IdleRefcon>(this)));
    check(hooks->AEGP_RegisterUpdateMenuHook(m_pluginId, &UpdateMenuHookFunc, nullptr));
    check(hooks->AEGP_RegisterDeathHook(m_pluginId, &DeathHookFunc,
                                        reinterpret_cast<AEGP_DeathRefcon>(this)));
    check(m_panelSuite->AEGP_RegisterCreatePanelHook(
        m_pluginId, m_matchName, &CreatePanelHookFunc,
        reinterpret_cast<AEGP_CreatePanelRefcon>(this), true));
}

void vdQtAE::releasePanelSuite()
{
    if (m_panelSuite && m_panelSuiteBasic)
        m_panelSuiteBasic->ReleaseSuite(kAEGPWorkspacePanelSuite, kAEGPWorkspacePanelSuiteVersion1);
    m_panelSuite = nullptr;
}

void vdQtAE::OnCommand(AEGP_Command command, AEGP_HookPriority, A_Boolean, A_Boolean *)
{
    // The handled flag is left alone: the host goes on with its own handling of every command.
    if (command == m_command)
        check(m_panelSuite->AEGP_ToggleVisibility(m_matchName));
}

void vdQtAE::OnUpdateMenu()
{
    const AEGP_CommandSuite1 *commands = m_suites.commandSuite();
    check(commands->AEGP_EnableCommand(m_command));
    A_Boolean shown = false;
    A_Boolean frontmost = false;
    check(m_panelSuite->AEGP_IsShown(m_matchName, &shown, &frontmost));
    check(commands->AEGP_CheckMarkMenuCommand(m_command, shown && frontmost));
}

void vdQtAE::OnIdle(A_long *maxSleep)
{
    if (maxSleep)
        *maxSleep = 10;
}

void vdQtAE::OnDeath() {}

void vdQtAE::OnCreatePanel(AEGP_PlatformViewRef, AEGP_PanelH, AEGP_PanelFunctions1 *,
                           AEGP_PanelRefcon *)
{
}
