#include "widgets/TitleItem.h"

#include "widgets/HelpLinks.h"
#include "widgets/QLabelPerso.h"

#include <QAbstractButton>
#include <QFrame>
#include <QHBoxLayout>
#include <QPixmap>

// The arrow pictures are compiled into this static library; a static library's resources are
// only registered when someone asks for them by name.
static void initToolBoxResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(toolbox);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {
QLabelPerso *makeArrow(const QString &picture, QWidget *parent)
{
    auto *arrow = new QLabelPerso(parent);
    arrow->setPixmap(QPixmap(picture));
    arrow->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return arrow;
}
} // namespace

TitleItem::TitleItem(const QString &title, QFrame *content, QAbstractButton *enabler,
                     QWidget *parent)
    : QWidget(parent), m_enabler(enabler), m_content(content)
{
    initToolBoxResources();

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    m_closedArrow = makeArrow(QStringLiteral(":/images/arrow_right.png"), this);
    m_openArrow = makeArrow(QStringLiteral(":/images/arrow_down.png"), this);
    row->addWidget(m_closedArrow);
    row->addWidget(m_openArrow);
    if (m_enabler)
        row->addWidget(m_enabler);

    m_title = new QLabelPerso(title, this);
    m_title->setObjectName(QStringLiteral("TitleItemLabel"));
    if (title.isEmpty())
        m_title->hide();
    else
        row->addWidget(m_title);
    row->addStretch();

    m_helpLink = new QLabel(this);
    m_helpLink->setOpenExternalLinks(true);
    row->addWidget(m_helpLink);

    connect(m_closedArrow, &QLabelPerso::clic, this, &TitleItem::OnOpenClose);
    connect(m_openArrow, &QLabelPerso::clic, this, &TitleItem::OnOpenClose);
    connect(m_title, &QLabelPerso::clic, this, &TitleItem::OnOpenClose);
}

void TitleItem::setHelpLink(const QString &address)
{
    ::setHelpLink(m_helpLink, address);
}

bool TitleItem::isEnabledByCheckBox() const
{
    return m_enabler ? m_enabler->isChecked() : true;
}

void TitleItem::setOpen(bool open)
{
    const bool enabled = isEnabledByCheckBox();
    m_content->setVisible(open);
    m_closedArrow->setVisible(!open && enabled);
    m_openArrow->setVisible(open && enabled);
    // An unset link is empty; anything this short cannot be a real link.
    m_helpLink->setVisible(open && enabled && m_helpLink->text().length() > 10);
    Q_EMIT openChanged(open);
}

// "Open" means the frame is not hidden, so the answer does not depend on whether the whole
// panel is on screen yet.
bool TitleItem::isOpen() const
{
    return !m_content->isHidden();
}

void TitleItem::OnOpenClose()
{
    if (isEnabledByCheckBox())
        setOpen(!isOpen());
    else
        setOpen(false);
}
