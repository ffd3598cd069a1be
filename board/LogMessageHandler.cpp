#include "board/LogMessageHandler.h"

#include "support/LogSink.h"

#include <QString>

namespace {
void logMessageHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    appendLog(message);
}
} // namespace

QtMessageHandler installLogMessageHandler()
{
    return qInstallMessageHandler(logMessageHandler);
}
