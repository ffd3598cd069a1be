#include "support/AnsweringPrompts.h"

Prompts::Button AnsweringPrompts::message(QWidget *, Kind kind, const QString &title,
                                          const QString &text, Buttons buttons,
                                          Button defaultButton)
{
    Question question;
    question.kind = kind;
    question.title = title;
    question.text = text;
    question.buttons = buttons;
    question.defaultButton = defaultButton;
    m_asked.append(question);

    if (!m_buttons.isEmpty())
        return m_buttons.dequeue();
    if (defaultButton != NoButton)
        return defaultButton;
    return buttons.testFlag(Cancel) ? Cancel : Ok;
}

QString AnsweringPrompts::choose(Kind kind, const QString &title, const QString &startDir,
                                 const QString &filter)
{
    Question question;
    question.kind = kind;
    question.title = title;
    question.startDir = startDir;
    question.filter = filter;
    m_asked.append(question);
    return m_paths.isEmpty() ? QString() : m_paths.dequeue();
}

QString AnsweringPrompts::chooseDirectory(QWidget *, const QString &title,
                                          const QString &startDir)
{
    return choose(Directory, title, startDir, QString());
}

QString AnsweringPrompts::chooseOpenFile(QWidget *, const QString &title,
                                         const QString &startDir, const QString &filter)
{
    return choose(OpenFile, title, startDir, filter);
}

QString AnsweringPrompts::chooseSaveFile(QWidget *, const QString &title,
                                         const QString &startDir, const QString &filter)
{
    return choose(SaveFile, title, startDir, filter);
}
