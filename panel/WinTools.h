#pragma once

#include "host/aegp.h"

#include <QWidget>

// The main panel. (Bare for now: a plain widget inside the host's container.)
class WinTools : public QWidget
{
    Q_OBJECT
public:
    WinTools(SPBasicSuite *basicSuite, AEGP_PluginID pluginId, AEGP_PanelH panel,
             AEGP_PlatformViewRef container, AEGP_PanelFunctions1 *functions);
    ~WinTools() override;

    // Runs the pending import and create tasks; called from the host's idle hook.
    void RunIdleTasks();
};
