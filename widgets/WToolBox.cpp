#include "widgets/WToolBox.h"

#include "widgets/ToolItem.h"

#include <QVBoxLayout>

WToolBox::WToolBox(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this)) {}

void WToolBox::addItem(ToolItem *item)
{
    // The last entry is the stretch added with the previous page; take it out so the new page
    // goes above it, then put a fresh one back at the bottom.
    if (m_layout->count() > 1)
        delete m_layout->takeAt(m_layout->count() - 1);
    m_layout->addWidget(item);
    m_layout->addStretch();
}
