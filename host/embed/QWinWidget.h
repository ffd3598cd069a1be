#pragma once

#include "host/aegp.h"

#include <QWidget>

// A Qt widget living inside the host's panel container.
//
// Here the container the host hands over is itself a QWidget (AEGP_PlatformViewRef), so the
// panel simply becomes its Qt child and follows its size: the container's resize events are
// watched and the panel is given exactly its rectangle. When the container goes away the
// panel is closed first, so its close handler (which saves the settings) still runs.
// The native-window variant (reparenting into a Win32 window, focus hand-over, modality) is
// kept for a build that targets that platform and is not part of this file.
class QWinWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QWinWidget(AEGP_PlatformViewRef container, QWidget *parent = nullptr,
                        Qt::WindowFlags flags = Qt::WindowFlags());
    ~QWinWidget() override;

    QWidget *containerWidget() const { return m_container; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Called after each change of the container's size.
    virtual void containerResized() {}

private:
    QWidget *m_container = nullptr;
};
