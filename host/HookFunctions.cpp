#include "host/HookFunctions.h"

#include "host/vdQtAE.h"

#include <cstdint>

namespace {
vdQtAE *g_live = nullptr; // set only once the plug-in object is fully built

// Compared as numbers: the reference may be the address of an object that no longer exists.
vdQtAE *liveFrom(const void *reference)
{
    if (!g_live || reinterpret_cast<std::uintptr_t>(reference)
                       != reinterpret_cast<std::uintptr_t>(g_live))
        return nullptr;
    return g_live;
}
} // namespace

void setLivePlugin(vdQtAE *plugin)
{
    g_live = plugin;
}

vdQtAE *livePlugin()
{
    return g_live;
}

A_Err CommandHookFunc(AEGP_GlobalRefcon, AEGP_CommandRefcon refcon, AEGP_Command command,
                      AEGP_HookPriority priority, A_Boolean alreadyHandled, A_Boolean *handled)
{
    try {
        if (vdQtAE *plugin = liveFrom(refcon))
            plugin->OnCommand(command, priority, alreadyHandled, handled);
    } catch (...) {
    }
    return A_Err_NONE;
}

A_Err UpdateMenuHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_UpdateMenuRefcon, AEGP_WindowType)
{
    try {
        if (vdQtAE *plugin = liveFrom(pluginRefcon))
            plugin->OnUpdateMenu();
    } catch (...) {
    }
    return A_Err_NONE;
}

A_Err DeathHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_DeathRefcon)
{
    try {
        if (vdQtAE *plugin = liveFrom(pluginRefcon))
            plugin->OnDeath();
    } catch (...) {
    }
    return A_Err_NONE;
}

A_Err IdleHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_IdleRefcon, A_long *maxSleep)
{
    try {
        if (vdQtAE *plugin = liveFrom(pluginRefcon))
            plugin->OnIdle(maxSleep);
    } catch (...) {
    }
    return A_Err_NONE;
}

A_Err CreatePanelHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_CreatePanelRefcon,
                          AEGP_PlatformViewRef container, AEGP_PanelH panel,
                          AEGP_PanelFunctions1 *functions, AEGP_PanelRefcon *panelRefcon)
{
    try {
        if (vdQtAE *plugin = liveFrom(pluginRefcon))
            plugin->OnCreatePanel(container, panel, functions, panelRefcon);
    } catch (...) {
    }
    return A_Err_NONE;
}
