#pragma once

// Moving lists between list widgets and comma-separated text, and filling a path button.
//
// Example: a list holding "*.tga" and "*.png" gives listToText "*.tga,*.png"; textToList
// with that text rebuilds the two editable items. An item "/lib/Chars, Props" is stored as
// "/lib/Chars[VIRGULE] Props" and comes back whole (joinListText, splitListText).

#include <QString>

class QAbstractButton;
class QListWidget;

QString listToText(const QListWidget *list);
void textToList(QListWidget *list, const QString &text);
// `direction` is "up" or "down" in any case; anything else does nothing.
void moveListRow(QListWidget *list, const QString &direction);
// Asks for a directory starting at the button's text; a chosen one becomes its text and
// tool tip ("Path: <dir>"). Returns false when the user cancelled.
bool chooseDirectoryInto(QAbstractButton *button, const QString &title);
