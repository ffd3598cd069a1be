#pragma once

#include "host/embed/WinQtAECallback.h"

// Sizing to the host container (exactly its client area, from the origin) and keyboard
// forwarding: the standard Undo, Redo, Open and Save sequences that no child widget took are
// run as host commands, so pressing Ctrl+Z on a button of the panel undoes in the host while a
// text field keeps its own undo. The commands go through the host operations' DoCommand, so a
// refused one is recorded as the last host error like any other host call.
class WinQtAE : public WinQtAECallback
{
    Q_OBJECT
public:
    // Host command numbers for the forwarded key sequences.
    enum HostCommand { CommandUndo = 16, CommandRedo = 2035, CommandOpen = 3, CommandSave = 5 };

    WinQtAE(SPBasicSuite *basicSuite, AEGP_PluginID pluginId, AEGP_PanelH panel,
            AEGP_PlatformViewRef container, AEGP_PanelFunctions1 *functions);
    ~WinQtAE() override;

    void ResizeToHost() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

    SPBasicSuite *m_basicSuite = nullptr;
    AEGP_PluginID m_pluginId = 0;
};
