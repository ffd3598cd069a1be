#pragma once

#include "support/Prompts.h"

// The real dialogs: QMessageBox for boxes, QFileDialog for the choosers. The panel installs
// one of these when it is created inside the host.
class QtPrompts : public Prompts
{
public:
    Button message(QWidget *parent, Kind kind, const QString &title, const QString &text,
                   Buttons buttons, Button defaultButton) override;
    QString chooseDirectory(QWidget *parent, const QString &title,
                            const QString &startDir) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startDir,
                           const QString &filter) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &startDir,
                           const QString &filter) override;
};
