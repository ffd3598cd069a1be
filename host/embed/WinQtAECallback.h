#pragma once

#include "host/embed/QWinWidget.h"

// The panel's contract with the host: the two suites a panel must hold for its life and the
// panel function table (snap sizes, flyout menu) that the host calls back.
//
// Construction throws the integer 13 when the host cannot supply either suite; the
// create-panel hook catches it and the host gets no panel.
class WinQtAECallback : public QWinWidget
{
    Q_OBJECT
public:
    WinQtAECallback(SPBasicSuite *basicSuite, AEGP_PanelH panel, AEGP_PlatformViewRef container,
                    AEGP_PanelFunctions1 *functions);
    ~WinQtAECallback() override;

    virtual void GetSnapSizes(A_LPoint *sizes, A_long *count);
    virtual void PopulateFlyout(AEGP_FlyoutMenuItem *items, A_long *count);
    virtual void DoFlyoutCommand(AEGP_FlyoutMenuCmdID command);
    virtual void ResizeToHost() = 0;

protected:
    void containerResized() override { ResizeToHost(); }

    AEGP_PlatformViewRef m_containerRef = nullptr;
    AEGP_PanelH m_panel = nullptr;

private:
    const void *acquireOrThrow(const char *name, int version);

    SPBasicSuite *m_appSuiteBasic = nullptr;
    const PFAppSuite6 *m_appSuite = nullptr;
    SPBasicSuite *m_panelSuiteBasic = nullptr;
    const AEGP_PanelSuite1 *m_panelSuite = nullptr;
};
