#pragma once

#include <QWidget>

class QAbstractButton;
class QFrame;
class TitleItem;

// One page of a WToolBox: a title row above a framed content widget. Pages start closed.
//
// Example: new ToolItem("Log", logPage) makes a page titled "Log" that opens on a click of its
// title or arrow; new ToolItem("Options 2", page, ckOptions2) adds an enabling check box that
// keeps the page folded while it is unticked.
class ToolItem : public QWidget
{
    Q_OBJECT
public:
    // Takes ownership of `item`; `enabler` (may be null) stays owned by the caller's widget tree.
    ToolItem(const QString &title, QWidget *item, QAbstractButton *enabler = nullptr,
             QWidget *parent = nullptr);

    TitleItem *titleItem() const { return m_title; }
    QWidget *contentWidget() const { return m_item; }

private:
    QWidget *m_item = nullptr;
    QFrame *m_frame = nullptr;
    TitleItem *m_title = nullptr;
};
