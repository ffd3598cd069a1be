#pragma once

#include "host/vdQtAE.h"
#include "import/HostConnection.h"
#include "support/gui/QtPrompts.h"

#include <QPointer>

#include <memory>

class JobMode;
class WinTools;

// The plug-in object proper: vdQtAE plus the main panel. The panel belongs to the host's
// container (Qt parent); we only remember it, through a QPointer, so that a container the host
// destroys leaves no dangling pointer for the next idle call.
class vdReelTools : public vdQtAE
{
public:
    vdReelTools(SPBasicSuite *basicSuite, AEGP_PluginID pluginId);
    ~vdReelTools() override;

    void OnIdle(A_long *maxSleep) override;
    void OnCreatePanel(AEGP_PlatformViewRef container, AEGP_PanelH panel,
                       AEGP_PanelFunctions1 *functions, AEGP_PanelRefcon *panelRefcon) override;

    WinTools *panel() const;

private:
    QPointer<WinTools> m_panel;
    HostConnection m_connection; // the process-wide host connection state
    QtPrompts m_prompts;         // the user's real dialogs while the plug-in lives
    Prompts *m_previousPrompts = nullptr;
    std::unique_ptr<JobMode> m_job; // a farm job (CELLKIT_JOB), run at the first idle call
};
