#include "host/embed/PanelFocusRules.h"

PanelFocusRules::PanelFocusRules(Window container, Windows &windows)
    : m_container(container), m_windows(windows)
{}

void PanelFocusRules::panelShown()
{
    // The panel may be hidden and shown again while one of its dialogs is up; that dialog's
    // own focus must not replace the window to return to.
    if (!m_previousFocus)
        rememberFocus();
}

void PanelFocusRules::dialogShown(bool modal)
{
    rememberFocus();
    if (modal && !m_reenableContainer) {
        m_windows.setWindowEnabled(m_container, false);
        m_reenableContainer = true;
    }
}

void PanelFocusRules::dialogHidden()
{
    // A disabled window cannot take the focus: enable first.
    enableContainer();
    restoreFocus();
}

void PanelFocusRules::dialogClosed()
{
    m_windows.activateWindow(m_container);
}

void PanelFocusRules::modalDialogDeactivated()
{
    m_windows.bringWindowToTop(m_container);
}

void PanelFocusRules::childRemoved()
{
    enableContainer();
}

void PanelFocusRules::focusLeavesPanel()
{
    m_windows.giveFocus(m_container);
}

PanelFocusRules::FocusReason PanelFocusRules::nativeFocusReason(bool leftButton, bool rightButton,
                                                                bool shift)
{
    if (leftButton || rightButton)
        return FocusReason::Mouse;
    return shift ? FocusReason::Backtab : FocusReason::Tab;
}

void PanelFocusRules::rememberFocus()
{
    m_previousFocus = m_windows.focusedWindow();
    if (!m_previousFocus)
        m_previousFocus = m_container;
}

void PanelFocusRules::restoreFocus()
{
    Window target = m_previousFocus;
    m_previousFocus = nullptr;
    if (!target || !m_windows.isLiveWindow(target))
        target = m_container;
    m_windows.giveFocus(target);
}

void PanelFocusRules::enableContainer()
{
    if (!m_reenableContainer)
        return;
    m_reenableContainer = false;
    m_windows.setWindowEnabled(m_container, true);
}
