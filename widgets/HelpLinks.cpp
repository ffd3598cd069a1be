#include "widgets/HelpLinks.h"

#include <QColor>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QUrl>

namespace {

// Rich text takes its colours when it is set, so the label's text is written again whenever its
// palette changes.
class HelpLinkColour : public QObject
{
public:
    static inline const QString kName = QStringLiteral("HelpLinkColour");

    HelpLinkColour(QLabel *label, const QString &address) : QObject(label), m_address(address)
    {
        setObjectName(kName);
        label->installEventFilter(this);
        repaint(label);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange)
            repaint(static_cast<QLabel *>(watched));
        return false;
    }

private:
    void repaint(QLabel *label) const
    {
        label->setText(helpLinkHtml(m_address, label->palette().color(QPalette::Link)));
    }

    QString m_address;
};

} // namespace

QString manualPage(const QString &page)
{
    // The folder is chosen when the plug-in is built: the source tree's docs/manual by default;
    // an installation copies the pages to the folder it names (see the README).
    const QString dir = QStringLiteral(CELLKIT_MANUAL_DIR);
    return QUrl::fromLocalFile(QDir(dir).filePath(page)).toString();
}

QString helpLinkHtml(const QString &address, const QColor &linkColour)
{
    return QStringLiteral("<html><head/><body><p><a href=\"%1\"><span style=\" "
                          "text-decoration: underline; color:%2;\">Need Help ?</span></a>"
                          "</p></body></html>")
        .arg(address, linkColour.name());
}

void setHelpLink(QLabel *label, const QString &address)
{
    // A second call replaces the first link.
    delete label->findChild<QObject *>(HelpLinkColour::kName, Qt::FindDirectChildrenOnly);
    new HelpLinkColour(label, address);
}
