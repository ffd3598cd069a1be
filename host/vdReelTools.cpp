#include "host/vdReelTools.h"

#include "host/embed/WinQtAECallback.h"
#include "panel/JobMode.h"
#include "panel/WinTools.h"

vdReelTools::vdReelTools(SPBasicSuite *basicSuite, AEGP_PluginID pluginId)
    : vdQtAE(basicSuite, pluginId), m_connection(basicSuite, pluginId)
{
    m_previousPrompts = Prompts::install(&m_prompts);
    const QString jobFile = JobMode::jobFileFromEnvironment();
    if (!jobFile.isEmpty())
        m_job = std::make_unique<JobMode>(jobFile);
}

vdReelTools::~vdReelTools()
{
    Prompts::install(m_previousPrompts);
}

WinTools *vdReelTools::panel() const
{
    return m_panel.data();
}

void vdReelTools::OnIdle(A_long *maxSleep)
{
    vdQtAE::OnIdle(maxSleep);
    if (m_job && m_job->pending())
        m_job->runAndQuit();
    if (m_panel)
        m_panel->RunIdleTasks();
}

void vdReelTools::OnCreatePanel(AEGP_PlatformViewRef container, AEGP_PanelH panelH,
                                AEGP_PanelFunctions1 *functions, AEGP_PanelRefcon *panelRefcon)
{
    // Owned by the container through its Qt parent (the host destroys the container).
    auto *panel = new WinTools(m_basicSuite, m_pluginId, panelH, container, functions);
    m_panel = panel;
    // The panel function table (filled by the embedding base) reads the reference back as
    // its own class, so hand over that base's address.
    if (panelRefcon)
        *panelRefcon =
            reinterpret_cast<AEGP_PanelRefcon>(static_cast<WinQtAECallback *>(panel));
}
