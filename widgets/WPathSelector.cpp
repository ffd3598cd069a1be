#include "widgets/WPathSelector.h"

#include "support/LogSink.h"
#include "support/Prompts.h"
#include "support/TextHelpers.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

WPathSelector::WPathSelector(QWidget *parent) : QWidget(parent)
{
    m_field = new QLineEdit(this);
    m_field->setContextMenuPolicy(Qt::CustomContextMenu);
    m_button = new QPushButton(QStringLiteral("..."), this);
    m_button->setMaximumWidth(20);
    m_button->setToolTip(QStringLiteral("Select Directory"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_field);
    layout->addWidget(m_button);
    connect(m_field, &QLineEdit::customContextMenuRequested, this, &WPathSelector::OnPopupMenu);
    connect(m_button, &QPushButton::clicked, this, &WPathSelector::OnPopupMenuPoint);
}

QString WPathSelector::rawText() const
{
    return m_field->text().trimmed();
}

QString WPathSelector::resolvedPath() const
{
    QString text = rawText();
    if (text.startsWith(QLatin1String("Select")))
        return QString();
    if (m_resolver)
        text = m_resolver(text);
    if (text.contains(QLatin1Char('%')))
        appendLog(QStringLiteral("-WAR- WPathSelector % unresolved:") + text);
    // Configurations travel between systems: a Windows path keeps working here.
    return text.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void WPathSelector::setPath(const QString &path)
{
    if (!fileExtension(path).isEmpty())
        m_isFile = true;
    m_field->setText(path);
    Q_EMIT pathChanged();
}

void WPathSelector::choose(const QString &chosen, bool isFile)
{
    if (chosen.isEmpty())
        return;
    m_field->setText(QDir::fromNativeSeparators(chosen));
    m_isFile = isFile;
    Q_EMIT pathChanged();
}

void WPathSelector::selectDirectory(const QString &startDir)
{
    choose(Prompts::current().chooseDirectory(this, QStringLiteral("Select Directory"), startDir),
           false);
}

void WPathSelector::selectFile(const QString &startPath)
{
    choose(Prompts::current().chooseOpenFile(this, QStringLiteral("Select File"), startPath,
                                             m_fileFilter),
           true);
}

void WPathSelector::OnPopupMenu(const QPoint &point)
{
    const QString kind = m_isFile ? QStringLiteral("File") : QStringLiteral("Directory");
    QMenu menu(this);
    menu.addAction(QStringLiteral("Select ") + kind + QStringLiteral("..."), this,
                   &WPathSelector::OnPbSelect);
    menu.addSeparator();
    QString current = resolvedPath();
    if (!current.isEmpty()) {
        if (m_isFile)
            current = fileDirectory(current);
        // The open action always shows a folder, also for a file selector.
        menu.addAction(QStringLiteral("Open Directory: ") + current, this,
                       &WPathSelector::OnPbOpen);
    }
    menu.exec(mapToGlobal(point));
}

void WPathSelector::OnPopupMenuPoint()
{
    OnPopupMenu(QPoint(0, 0));
}

void WPathSelector::OnPbSelect()
{
    if (!m_selectHere) {
        appendLog(QStringLiteral("selectRequest(this)"));
        Q_EMIT selectRequest(this);
        return;
    }
    if (m_isFile)
        selectFile(resolvedPath());
    else
        selectDirectory(resolvedPath());
}

void WPathSelector::OnPbOpen()
{
    QString path = resolvedPath();
    if (path.isEmpty())
        return;
    if (path.contains(QLatin1Char('%'))) {
        if (!m_resolver) {
            Q_EMIT openRequest();
            appendLog(QStringLiteral("Open with % Signal openRequest Emited"));
            return;
        }
        path = m_resolver(path);
        appendLog(QStringLiteral("Open via  paddAndReplaceCB: ") + path);
    }
    if (m_isFile)
        path = fileDirectory(path);
    // The desktop's own file browser; a failure to start it is not reported.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
