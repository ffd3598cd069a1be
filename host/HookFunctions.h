#pragma once

#include "host/aegp.h"

class vdQtAE;

// The plain functions the host calls. Each finds the plug-in object from its reference, calls
// one operation inside a catch-all and always answers 0: the host never sees our errors.
//
// An object is reached only when it is the live plug-in object (setLivePlugin, called by the
// entry point once construction has succeeded). If construction fails after some hooks were
// registered, the object is destroyed and those hooks keep receiving its stale address: they
// find no live object and do nothing.
A_Err CommandHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_CommandRefcon refcon,
                      AEGP_Command command, AEGP_HookPriority priority, A_Boolean alreadyHandled,
                      A_Boolean *handled);
A_Err UpdateMenuHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_UpdateMenuRefcon refcon,
                         AEGP_WindowType activeWindow);
A_Err DeathHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_DeathRefcon refcon);
A_Err IdleHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_IdleRefcon refcon, A_long *maxSleep);
A_Err CreatePanelHookFunc(AEGP_GlobalRefcon pluginRefcon, AEGP_CreatePanelRefcon refcon,
                          AEGP_PlatformViewRef container, AEGP_PanelH panel,
                          AEGP_PanelFunctions1 *functions, AEGP_PanelRefcon *panelRefcon);

void setLivePlugin(vdQtAE *plugin);
vdQtAE *livePlugin();
