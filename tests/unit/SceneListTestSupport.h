#pragma once
// Shared by the scene list tests: what the code under test logs and asks, recorded while the
// test object lives, and small file helpers.
#include "support/AnsweringPrompts.h"
#include "support/LogSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

struct RecordedUser : LogSink
{
    RecordedUser()
    {
        LogSink::setCurrent(this);
        previous = Prompts::install(&prompts);
    }
    ~RecordedUser() override
    {
        Prompts::install(previous);
        LogSink::setCurrent(nullptr);
    }
    void appendLogLine(const QString &line) override { log << line; }
    void forget()
    {
        log.clear();
        prompts.forget();
    }

    QStringList log;
    AnsweringPrompts prompts;
    Prompts *previous = nullptr;
};

inline bool writeFile(const QString &path, const QByteArray &bytes = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
