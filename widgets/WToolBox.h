#pragma once

#include <QWidget>

class QVBoxLayout;
class ToolItem;

// A vertical stack of collapsible pages (ToolItem), kept at the top by one trailing stretch.
// Several pages may be open at once, e.g. the Board's "Log" and "Settings & Updates".
//
// Free height goes to the open pages whose content can grow (the Log page's console, the
// matching table), not to the stretch: with only "Log" open the console reaches the bottom.
class WToolBox : public QWidget
{
    Q_OBJECT
public:
    explicit WToolBox(QWidget *parent = nullptr);

    // Takes ownership of `item` and places it below the pages already there.
    void addItem(ToolItem *item);

private:
    void giveFreeHeightToOpenPages();

    QVBoxLayout *m_layout = nullptr;
};
