#include "widgets/WToolBox.h"

#include "widgets/TitleItem.h"
#include "widgets/ToolItem.h"

#include <QVBoxLayout>

namespace {
bool growsInHeight(const QWidget *content)
{
    if (content->sizePolicy().verticalPolicy() & QSizePolicy::ExpandFlag)
        return true;
    return content->layout() && (content->layout()->expandingDirections() & Qt::Vertical);
}
} // namespace

WToolBox::WToolBox(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this)) {}

void WToolBox::addItem(ToolItem *item)
{
    // The last entry is the stretch added with the previous page; take it out so the new page
    // goes above it, then put a fresh one back at the bottom.
    if (m_layout->count() > 1)
        delete m_layout->takeAt(m_layout->count() - 1);
    m_layout->addWidget(item);
    m_layout->addStretch();
    connect(item->titleItem(), &TitleItem::openChanged, this, &WToolBox::giveFreeHeightToOpenPages);
    giveFreeHeightToOpenPages();
}

// A stretch factor outweighs the trailing stretch, which otherwise takes an equal share of the
// free height and leaves half the box empty below an open table.
void WToolBox::giveFreeHeightToOpenPages()
{
    for (int i = 0; i < m_layout->count(); ++i) {
        auto *item = qobject_cast<ToolItem *>(m_layout->itemAt(i)->widget());
        if (item) {
            const bool grows = item->titleItem()->isOpen() && growsInHeight(item->contentWidget());
            m_layout->setStretch(i, grows ? 1 : 0);
        }
    }
}
