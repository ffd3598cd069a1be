#pragma once

#include <QString>

// The one place every log line of the plug-in ends up: the Board's log console.
//
// The Board registers itself as the sink once it is built; until then (and after it is gone)
// appended lines are dropped. Lines are plain text or simple HTML; each call is one paragraph,
// e.g. appendLog("-INF- ImportScene") or appendLog("<font color=red>-ERR- ...</font>").
class LogSink
{
public:
    virtual ~LogSink() = default;
    virtual void appendLogLine(const QString &line) = 0;

    // The process-wide sink; null when no Board exists.
    static LogSink *current();
    static void setCurrent(LogSink *sink);
};

// Appends one paragraph to the current sink, or drops it when there is none.
void appendLog(const QString &line);
