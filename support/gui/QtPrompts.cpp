#include "support/gui/QtPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconFor(Prompts::Kind kind)
{
    switch (kind) {
    case Prompts::Warning:
        return QMessageBox::Warning;
    case Prompts::Critical:
        return QMessageBox::Critical;
    case Prompts::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::Information;
    }
}

QMessageBox::StandardButton toQt(Prompts::Button button)
{
    switch (button) {
    case Prompts::Ok:
        return QMessageBox::Ok;
    case Prompts::Cancel:
        return QMessageBox::Cancel;
    case Prompts::Yes:
        return QMessageBox::Yes;
    case Prompts::No:
        return QMessageBox::No;
    default:
        return QMessageBox::NoButton;
    }
}

QMessageBox::StandardButtons toQt(Prompts::Buttons buttons)
{
    QMessageBox::StandardButtons result;
    for (Prompts::Button b : {Prompts::Ok, Prompts::Cancel, Prompts::Yes, Prompts::No}) {
        if (buttons.testFlag(b))
            result |= toQt(b);
    }
    return result ? result : QMessageBox::StandardButtons(QMessageBox::Ok);
}

Prompts::Button fromQt(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Prompts::Ok;
    case QMessageBox::Yes:
        return Prompts::Yes;
    case QMessageBox::No:
        return Prompts::No;
    default:
        return Prompts::Cancel; // also the window's close button
    }
}

} // namespace

Prompts::Button QtPrompts::message(QWidget *parent, Kind kind, const QString &title,
                                   const QString &text, Buttons buttons, Button defaultButton)
{
    QMessageBox box(iconFor(kind), title, text, toQt(buttons), parent);
    if (defaultButton != NoButton)
        box.setDefaultButton(toQt(defaultButton));
    return fromQt(box.exec());
}

QString QtPrompts::chooseDirectory(QWidget *parent, const QString &title,
                                   const QString &startDir)
{
    const QString dir = QFileDialog::getExistingDirectory(parent, title, startDir,
                                                          QFileDialog::ShowDirsOnly);
    return QDir::fromNativeSeparators(dir);
}

QString QtPrompts::chooseOpenFile(QWidget *parent, const QString &title,
                                  const QString &startDir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, startDir, filter);
}

QString QtPrompts::chooseSaveFile(QWidget *parent, const QString &title,
                                  const QString &startDir, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, startDir, filter);
}
