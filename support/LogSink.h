#pragma once

#include <QString>
#include <QStringList>

// The one place every log line of the plug-in ends up: the Board's log console.
//
// The Board registers itself as the sink once it is built; until then (and after it is gone)
// appended lines are dropped. Lines are plain text or simple HTML; each call is one paragraph,
// e.g. appendLog("-INF- ImportScene") or appendLog("<font color=red>-ERR- ...</font>").
//
// A long run (a scene import logs a line per file) opens a Batch: its lines wait and reach the
// sink together, in order, when the run flushes (between two scenes), when a question is about
// to be shown, or when the batch closes. Outside a batch every line reaches the sink at once.
class LogSink
{
public:
    virtual ~LogSink() = default;
    virtual void appendLogLine(const QString &line) = 0;
    // Several lines, each its own paragraph, as if appended one by one.
    virtual void appendLogLines(const QStringList &lines);

    // The process-wide sink; null when no Board exists. Changing it hands the waiting lines to
    // the sink that was there.
    static LogSink *current();
    static void setCurrent(LogSink *sink);

    // Hands the waiting lines to the sink now.
    static void flush();

    class Batch
    {
    public:
        Batch();
        ~Batch(); // the outermost batch flushes when it closes
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
    };
};

// Appends one paragraph to the current sink (or to the open batch), or drops it when there is
// no sink.
void appendLog(const QString &line);
