#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>

class QWidget;

// Every question the plug-in asks its user goes through here: message boxes, question boxes
// and file or directory choosers. The Qt implementation (support/gui/QtPrompts) shows real
// dialogs; tests install an answering implementation that replies from a queue and records
// what was asked.
//
// Example: Prompts::current().warning(panel, "Warning", "comp Name [A] not found") shows a
// modal box with one OK button and returns Prompts::Ok.
class Prompts
{
public:
    enum Kind { Warning, Information, Critical, Question, Directory, OpenFile, SaveFile };
    enum Button {
        NoButton = 0x0,
        Ok = 0x1,
        Cancel = 0x2,
        Yes = 0x4,
        No = 0x8,
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    virtual ~Prompts() = default;

    // A message or question box. `defaultButton` may be NoButton (no default).
    virtual Button message(QWidget *parent, Kind kind, const QString &title, const QString &text,
                           Buttons buttons, Button defaultButton) = 0;
    // Returns the chosen directory with "/" separators, or an empty string on cancel.
    virtual QString chooseDirectory(QWidget *parent, const QString &title,
                                    const QString &startDir) = 0;
    // Returns the chosen file, or an empty string on cancel.
    virtual QString chooseOpenFile(QWidget *parent, const QString &title,
                                   const QString &startDir, const QString &filter) = 0;
    virtual QString chooseSaveFile(QWidget *parent, const QString &title,
                                   const QString &startDir, const QString &filter) = 0;

    // Conveniences over message().
    Button warning(QWidget *parent, const QString &title, const QString &text);
    Button information(QWidget *parent, const QString &title, const QString &text);
    Button critical(QWidget *parent, const QString &title, const QString &text);
    Button question(QWidget *parent, const QString &title, const QString &text,
                    Buttons buttons = Buttons(Yes | No), Button defaultButton = NoButton);

    // The process-wide implementation. Without one installed, every question is answered
    // with its default button (or Cancel) and an empty choice, and a warning is logged.
    static Prompts &current();
    // Installs `prompts` (not owned) and returns the previous one (may be null).
    static Prompts *install(Prompts *prompts);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompts::Buttons)
