#pragma once

#include <QString>

// Addresses of the user manual's pages and the "Need Help ?" link text that points at them.
//
// Example: manualPage("import-scene.html") is "file:///.../docs/manual/import-scene.html", and
// helpLinkHtml() of it is the rich text a help label shows as an underlined blue "Need Help ?".
QString manualPage(const QString &page);
QString helpLinkHtml(const QString &address);
