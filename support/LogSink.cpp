#include "support/LogSink.h"

namespace {
// The host calls us on its main thread only, so a plain pointer is enough.
LogSink *g_sink = nullptr;
} // namespace

LogSink *LogSink::current()
{
    return g_sink;
}

void LogSink::setCurrent(LogSink *sink)
{
    g_sink = sink;
}

void appendLog(const QString &line)
{
    if (g_sink)
        g_sink->appendLogLine(line);
}
