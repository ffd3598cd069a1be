#include "host/embed/WinQtAE.h"

#include "import/vipLi.h"

#include <QKeyEvent>
#include <QtDebug>

WinQtAE::WinQtAE(SPBasicSuite *basicSuite, AEGP_PluginID pluginId, AEGP_PanelH panel,
                 AEGP_PlatformViewRef container, AEGP_PanelFunctions1 *functions)
    : WinQtAECallback(basicSuite, panel, container, functions), m_basicSuite(basicSuite),
      m_pluginId(pluginId)
{}

WinQtAE::~WinQtAE()
{
    // Before the panel's members go: from here on the container sees plain default handling.
    releaseContainer();
}

void WinQtAE::ResizeToHost()
{
    const QRect area = containerRect();
    if (area.isEmpty())
        return;
    invalidateContainer();
    setGeometry(area);
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
