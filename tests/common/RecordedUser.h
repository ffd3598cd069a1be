#pragma once
// What the code under test logs and asks, recorded while the object lives: it is the log sink
// and answers every question (see AnsweringPrompts); both go back to what was there before.
#include "support/AnsweringPrompts.h"
#include "support/LogSink.h"

struct RecordedUser : LogSink
{
    RecordedUser() : previousSink(LogSink::current()), previous(Prompts::install(&prompts))
    {
        LogSink::setCurrent(this);
    }
    ~RecordedUser() override
    {
        Prompts::install(previous);
        LogSink::setCurrent(previousSink);
    }
    void appendLogLine(const QString &line) override { log << line; }
    void forget()
    {
        log.clear();
        prompts.forget();
    }
    // The texts of the boxes shown, in order.
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const AnsweringPrompts::Question &q : prompts.asked())
            texts << q.text;
        return texts;
    }

    QStringList log;
    AnsweringPrompts prompts;
    LogSink *previousSink = nullptr;
    Prompts *previous = nullptr;
};
