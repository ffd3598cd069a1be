#include "support/LogSink.h"

namespace {
// The host calls us on its main thread only, so plain variables are enough.
LogSink *g_sink = nullptr;
int g_batchDepth = 0;
QStringList g_waiting;

// A batch never holds more than this many lines, so memory stays bounded on any run.
constexpr int kMaxWaiting = 4096;
} // namespace

void LogSink::appendLogLines(const QStringList &lines)
{
    for (const QString &line : lines)
        appendLogLine(line);
}

LogSink *LogSink::current()
{
    return g_sink;
}

void LogSink::setCurrent(LogSink *sink)
{
    flush();
    g_sink = sink;
}

void LogSink::flush()
{
    if (g_waiting.isEmpty())
        return;
    const QStringList lines = std::move(g_waiting);
    g_waiting.clear();
    if (g_sink)
        g_sink->appendLogLines(lines);
}

LogSink::Batch::Batch()
{
    ++g_batchDepth;
}

LogSink::Batch::~Batch()
{
    if (--g_batchDepth == 0)
        flush();
}

void appendLog(const QString &line)
{
    if (!g_sink)
        return;
    if (g_batchDepth == 0) {
        g_sink->appendLogLine(line);
        return;
    }
    g_waiting.append(line);
    if (g_waiting.size() >= kMaxWaiting)
        LogSink::flush();
}
