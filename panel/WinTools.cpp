#include "panel/WinTools.h"

WinTools::WinTools(SPBasicSuite *, AEGP_PluginID, AEGP_PanelH, AEGP_PlatformViewRef container,
                   AEGP_PanelFunctions1 *)
    : QWidget(static_cast<QWidget *>(container))
{
}

WinTools::~WinTools() = default;

void WinTools::RunIdleTasks() {}
