#pragma once

#include <QString>

class QColor;
class QLabel;

// Addresses of the user manual's pages and the "Need Help ?" links that point at them.
//
// Example: manualPage("import-scene.html") is "file:///.../docs/manual/import-scene.html", and
// setHelpLink(label, that address) shows an underlined "Need Help ?" on the label, drawn in the
// palette's link colour: light blue on the Dark AE colours, dark blue on Light AE.
QString manualPage(const QString &page);
QString helpLinkHtml(const QString &address, const QColor &linkColour);
// Keeps the link in the label's link colour when the palette changes (the Board's colour sets).
void setHelpLink(QLabel *label, const QString &address);
