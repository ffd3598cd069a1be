#include "host/embed/WinQtAE.h"

#include <QKeyEvent>
#include <QtDebug>

bool runHostCommand(SPBasicSuite *basicSuite, A_long command)
{
    if (!basicSuite)
        return false;
    const void *suite = nullptr;
    if (basicSuite->AcquireSuite(kAEGPCommandSuite, kAEGPCommandSuiteVersion1, &suite) != 0
        || !suite)
        return false;
    const A_Err err =
        static_cast<const AEGP_CommandSuite1 *>(suite)->AEGP_DoCommand(static_cast<AEGP_Command>(command));
    basicSuite->ReleaseSuite(kAEGPCommandSuite, kAEGPCommandSuiteVersion1);
    return err == 0;
}

WinQtAE::WinQtAE(SPBasicSuite *basicSuite, AEGP_PluginID pluginId, AEGP_PanelH panel,
                 AEGP_PlatformViewRef container, AEGP_PanelFunctions1 *functions)
    : WinQtAECallback(basicSuite, panel, container, functions)
    , m_basicSuite(basicSuite)
    , m_pluginId(pluginId)
{
}

void WinQtAE::ResizeToHost()
{
    if (QWidget *container = containerWidget()) {
        container->update();
        setGeometry(0, 0, container->width(), container->height());
    }
}

void WinQtAE::keyPressEvent(QKeyEvent *event)
{
    qWarning() << "Event";
    if (event->matches(QKeySequence::Undo))
        runHostCommand(m_basicSuite, CommandUndo);
    else if (event->matches(QKeySequence::Redo))
        runHostCommand(m_basicSuite, CommandRedo);
    else if (event->matches(QKeySequence::Open))
        runHostCommand(m_basicSuite, CommandOpen);
    else if (event->matches(QKeySequence::Save))
        runHostCommand(m_basicSuite, CommandSave);
    else
        QWidget::keyPressEvent(event);
}

bool WinQtAE::eventFilter(QObject *watched, QEvent *event)
{
    // The container is going away: close the panel while it is still whole, so its close
    // handler (saving the settings) runs before the child widgets are destroyed.
    if (watched == containerWidget() && event->type() == QEvent::Close)
        close();
    return WinQtAECallback::eventFilter(watched, event);
}
