#include "support/Prompts.h"

#include "support/LogSink.h"

#include <QtGlobal>

namespace {
Prompts *g_prompts = nullptr; // installed by the panel (Qt dialogs) or by a test
} // namespace

Prompts::Button Prompts::warning(QWidget *parent, const QString &title, const QString &text)
{
    return message(parent, Warning, title, text, Ok, NoButton);
}

Prompts::Button Prompts::information(QWidget *parent, const QString &title, const QString &text)
{
    return message(parent, Information, title, text, Ok, NoButton);
}

Prompts::Button Prompts::critical(QWidget *parent, const QString &title, const QString &text)
{
    return message(parent, Critical, title, text, Ok, NoButton);
}

Prompts::Button Prompts::question(QWidget *parent, const QString &title, const QString &text,
                                  Buttons buttons, Button defaultButton)
{
    return message(parent, Question, title, text, buttons, defaultButton);
}

Prompts *Prompts::install(Prompts *prompts)
{
    Prompts *previous = g_prompts;
    g_prompts = prompts;
    return previous;
}

namespace {
// Used while nothing is installed: answers like a user who presses the default button.
class DefaultAnswers final : public Prompts
{
public:
    Button message(QWidget *, Kind, const QString &title, const QString &text, Buttons buttons,
                   Button defaultButton) override
    {
        qWarning("-WAR- Prompts: no dialog available for \"%s\": %s", qPrintable(title),
                 qPrintable(text));
        if (defaultButton != NoButton)
            return defaultButton;
        return buttons.testFlag(Cancel) ? Cancel : buttons.testFlag(Ok) ? Ok : NoButton;
    }
    QString chooseDirectory(QWidget *, const QString &, const QString &) override { return {}; }
    QString chooseOpenFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString chooseSaveFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
};
} // namespace

Prompts &Prompts::current()
{
    // Whoever asks is about to ask: what a running import logged so far goes on screen first.
    LogSink::flush();
    static DefaultAnswers fallback;
    return g_prompts ? *g_prompts : fallback;
}
