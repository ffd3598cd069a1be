#pragma once

#include "support/Prompts.h"

#include <QList>
#include <QQueue>

// Answers every question without a user: boxes from a queue of buttons, choosers from a
// queue of paths (an empty path is a cancel). With its queue empty, a box gets its default
// button (else Cancel when offered, else Ok) and a chooser gets an empty choice. Every
// question is recorded so a test can check what the user would have seen.
//
// Example:
//     AnsweringPrompts answers;
//     answers.answerButton(Prompts::Yes);
//     Prompts *previous = Prompts::install(&answers);
//     ... code under test asks "Overwrite?" and gets Yes ...
//     QCOMPARE(answers.asked().last().text, QString("Overwrite?"));
//     Prompts::install(previous);
class AnsweringPrompts : public Prompts
{
public:
    struct Question
    {
        Kind kind = Warning;
        QString title;
        QString text;       // empty for choosers
        Buttons buttons;    // boxes only
        Button defaultButton = NoButton;
        QString startDir;   // choosers only
        QString filter;     // file choosers only
    };

    void answerButton(Button button) { m_buttons.enqueue(button); }
    void answerPath(const QString &path) { m_paths.enqueue(path); }

    const QList<Question> &asked() const { return m_asked; }
    void forget() { m_asked.clear(); }
    int pendingAnswers() const { return m_buttons.size() + m_paths.size(); }

    Button message(QWidget *parent, Kind kind, const QString &title, const QString &text,
                   Buttons buttons, Button defaultButton) override;
    QString chooseDirectory(QWidget *parent, const QString &title,
                            const QString &startDir) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &startDir,
                           const QString &filter) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &startDir,
                           const QString &filter) override;

private:
    QString choose(Kind kind, const QString &title, const QString &startDir,
                   const QString &filter);

    QQueue<Button> m_buttons;
    QQueue<QString> m_paths;
    QList<Question> m_asked;
};
