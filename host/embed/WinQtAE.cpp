#include "host/embed/WinQtAE.h"

#include "import/vipLi.h"

#include <QKeyEvent>
#include <QtDebug>

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
        DoCommand(CommandUndo);
    else if (event->matches(QKeySequence::Redo))
        DoCommand(CommandRedo);
    else if (event->matches(QKeySequence::Open))
        DoCommand(CommandOpen);
    else if (event->matches(QKeySequence::Save))
        DoCommand(CommandSave);
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
