#pragma once

#include "host/aegp.h"
#include "host/embed/PanelFocusRules.h"

#include <QRect>

#include <memory>

class QByteArray;
class QWinWidget;

// What a QWinWidget needs from the platform that holds its container: the window operations of
// the focus rules, the container's size, and the native messages turned into panel events.
// QWinWidget_win.cpp implements it over the Win32 layer, QWinWidget_portable.cpp over a QWidget.
class QWinWidgetPlatform : public PanelFocusRules::Windows
{
public:
    static std::unique_ptr<QWinWidgetPlatform> create(QWinWidget *panel,
                                                      AEGP_PlatformViewRef container);

    virtual PanelFocusRules::Window containerWindow() const = 0;
    virtual QRect containerRect() const = 0;
    virtual void invalidateContainer() = 0;
    // On Windows the panel steps aside while one of its dialogs is up; the container's next
    // paint shows it again.
    virtual bool hidesPanelForDialogs() const = 0;
    virtual bool isFocusInMessage(const QByteArray &eventType, void *message,
                                  Qt::FocusReason *reason) const = 0;
    // Ends every call from the container into the panel; safe to call more than once.
    virtual void release() = 0;

protected:
    // The container's events, handed to the panel.
    static void containerShown(QWinWidget *panel) { panel->showInContainer(); }
    static void containerResized(QWinWidget *panel) { panel->containerResized(); }
    static void containerClosing(QWinWidget *panel);
    static void containerDestroyed(QWinWidget *panel);
};
