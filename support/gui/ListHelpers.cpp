#include "support/gui/ListHelpers.h"

#include "support/Prompts.h"
#include "support/TextHelpers.h"

#include <QAbstractButton>
#include <QDir>
#include <QListWidget>

QString listToText(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return joinListText(texts);
}

void textToList(QListWidget *list, const QString &text)
{
    list->clear();
    // Empty parts stay: "a,,b" gives three rows, the middle one empty, ready to be typed in.
    const QStringList parts = splitListText(text);
    for (const QString &part : parts) {
        auto *item = new QListWidgetItem(part, list);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void moveListRow(QListWidget *list, const QString &direction)
{
    const int row = list->currentRow();
    if (row < 0)
        return;
    const QString way = direction.toLower();
    int target = -1;
    if (way == QLatin1String("up"))
        target = row - 1;
    else if (way == QLatin1String("down"))
        target = row + 1;
    if (target < 0 || target >= list->count() || target == row)
        return;
    QListWidgetItem *item = list->takeItem(row);
    list->insertItem(target, item);
    list->setCurrentRow(target);
}

bool chooseDirectoryInto(QAbstractButton *button, const QString &title)
{
    const QString chosen = Prompts::current().chooseDirectory(button, title, button->text());
    if (chosen.isEmpty())
        return false;
    const QString path = QDir::fromNativeSeparators(chosen);
    button->setText(path);
    button->setToolTip(QStringLiteral("Path: ") + path);
    return true;
}
