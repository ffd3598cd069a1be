#include "host/embed/QWinWidget.h"

#include "host/embed/PanelFocusRules.h"
#include "host/embed/QWinWidget_p.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QFocusEvent>

QWinWidget::QWinWidget(AEGP_PlatformViewRef container, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_platform(QWinWidgetPlatform::create(this, container)),
      m_rules(std::make_unique<PanelFocusRules>(m_platform->containerWindow(), *m_platform))
{}

QWinWidget::~QWinWidget()
{
    releaseContainer();
}

QRect QWinWidget::containerRect() const
{
    return m_platform->containerRect();
}

void QWinWidget::invalidateContainer()
{
    m_platform->invalidateContainer();
}

void QWinWidget::releaseContainer()
{
    m_platform->release();
}

void QWinWidget::showInContainer()
{
    if (!isVisible()) {
        m_rules->panelShown();
        show();
    }
    containerResized();
}

bool QWinWidget::event(QEvent *event)
{
    // deleteLater() ends here before any destructor runs: the last moment the whole panel exists.
    if (event->type() == QEvent::DeferredDelete && m_platform)
        releaseContainer();
    return QWidget::event(event);
}

void QWinWidget::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    QObject *child = event->child();
    if (!m_rules || !child->isWidgetType())
        return;
    if (event->added()) {
        child->installEventFilter(this);
    } else if (event->removed()) {
        // A modal dialog that leaves without being hidden must not leave the host disabled.
        m_rules->childRemoved();
        child->removeEventFilter(this);
    }
}

bool QWinWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Only dialogs of the panel take part: an ordinary child being hidden (a page of a tool box)
    // or a popup menu must not move the focus out of the panel.
    if (m_rules && watched->parent() == this && watched->isWidgetType()) {
        auto *child = static_cast<QWidget *>(watched);
        const Qt::WindowType type = child->windowType();
        if (type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet)
            dialogEvent(child, event);
    }
    return QWidget::eventFilter(watched, event);
}

void QWinWidget::dialogEvent(QWidget *dialog, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        m_rules->dialogShown(dialog->isModal());
        if (m_platform->hidesPanelForDialogs())
            hide();
        break;
    case QEvent::Hide:
        m_rules->dialogHidden();
        break;
    case QEvent::Close:
        m_rules->dialogClosed();
        break;
    case QEvent::WindowDeactivate:
        if (dialog->isModal() && !dialog->isVisible())
            m_rules->modalDialogDeactivated();
        break;
    default:
        break;
    }
}

QList<QWidget *> QWinWidget::tabChain() const
{
    QList<QWidget *> chain;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this) &&
            isAncestorOf(w))
            chain.append(w);
    }
    return chain;
}

void QWinWidget::focusInEvent(QFocusEvent *event)
{
    const QList<QWidget *> chain = tabChain();
    if (!chain.isEmpty() && event->reason() == Qt::TabFocusReason) {
        chain.first()->setFocus(Qt::TabFocusReason);
        return;
    }
    if (!chain.isEmpty() && event->reason() == Qt::BacktabFocusReason) {
        chain.last()->setFocus(Qt::BacktabFocusReason);
        return;
    }
    QWidget::focusInEvent(event);
}

bool QWinWidget::focusNextPrevChild(bool next)
{
    const QList<QWidget *> chain = tabChain();
    QWidget *current = focusWidget();
    if (current && !chain.isEmpty() && current == (next ? chain.last() : chain.first())) {
        m_rules->focusLeavesPanel();
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

bool QWinWidget::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    // The native focus came to our window from the host's side (a click, Tab or Shift+Tab in
    // the host): Qt hears it as a focus-in with the matching reason.
    // Creating and re-parenting the native window during construction already brings messages,
    // before the platform is in place.
    Qt::FocusReason reason = Qt::OtherFocusReason;
    if (m_platform && m_platform->isFocusInMessage(eventType, message, &reason)) {
        QFocusEvent focusIn(QEvent::FocusIn, reason);
        QCoreApplication::sendEvent(this, &focusIn);
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void QWinWidgetPlatform::containerClosing(QWinWidget *panel)
{
    // Close while the panel is still whole, so its close handler (saving the settings) runs
    // before the child widgets are destroyed.
    panel->close();
}

void QWinWidgetPlatform::containerDestroyed(QWinWidget *panel)
{
    panel->close();
    // The host's window took the panel's native window with it; the panel goes too.
    panel->deleteLater();
}
