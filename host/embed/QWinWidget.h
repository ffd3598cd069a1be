#pragma once

#include "host/aegp.h"

#include <QWidget>

#include <memory>

class PanelFocusRules;
class QWinWidgetPlatform;

// A Qt widget living inside the host's panel container, on Windows and in the test host alike.
//
// On Windows the container is a native window: the widget's own native window becomes its child,
// the container is subclassed (see win32/NativeHostWindow.h) and its first paint shows the
// widget. In the test host the container is a QWidget and the widget simply becomes its Qt child.
// Either way the widget follows the container's client size (containerResized()), closes when
// the container goes, and keeps the keyboard focus and modality in step with the host: a modal
// dialog of the panel disables the container until it is hidden, the focus then returns where
// it was, and Tab past the last child (Backtab past the first) hands the focus to the container.
//
// Example: container 300 x 500, then the user drags the frame to 640 x 480: containerRect()
// gives QRect(0, 0, 640, 480) and containerResized() runs so the derived panel can fit it.
class QWinWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QWinWidget(AEGP_PlatformViewRef container, QWidget *parent = nullptr,
                        Qt::WindowFlags flags = Qt::WindowFlags());
    ~QWinWidget() override;

    // The container's client area, at the origin, in this widget's coordinates.
    QRect containerRect() const;
    // Asks the container to repaint without erasing its background.
    void invalidateContainer();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void childEvent(QChildEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

    // Called after each change of the container's size.
    virtual void containerResized() {}
    // Stops every call from the container into this widget. Derived panels call it first thing
    // in their destructor, so the container never reaches a half-destroyed panel.
    void releaseContainer();

private:
    friend class QWinWidgetPlatform;

    void showInContainer();
    void dialogEvent(QWidget *dialog, QEvent *event);
    QList<QWidget *> tabChain() const;

    std::unique_ptr<QWinWidgetPlatform> m_platform;
    std::unique_ptr<PanelFocusRules> m_rules;
};
