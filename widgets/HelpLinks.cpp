#include "widgets/HelpLinks.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

QString manualPage(const QString &page)
{
    // The short user manual shipped in the source tree; an installed plug-in finds it beside
    // the program.
#ifdef CELLKIT_MANUAL_DIR
    const QString dir = QStringLiteral(CELLKIT_MANUAL_DIR);
#else
    const QString dir = QDir(QCoreApplication::applicationDirPath()).filePath("docs/manual");
#endif
    return QUrl::fromLocalFile(QDir(dir).filePath(page)).toString();
}

QString helpLinkHtml(const QString &address)
{
    return QStringLiteral("<html><head/><body><p><a href=\"%1\"><span style=\" "
                          "text-decoration: underline; color:#0000ff;\">Need Help ?</span></a>"
                          "</p></body></html>")
        .arg(address);
}
