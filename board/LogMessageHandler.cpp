#include "board/LogMessageHandler.h"

#include "support/LogSink.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QString>
#include <QThread>

#include <cstdio>

namespace {
QtMessageHandler g_previous = nullptr;

// Only ever touched on the application's thread.
bool g_appending = false;

void appendOnOwnThread(const QString &message)
{
    if (g_appending)
        return;
    g_appending = true;
    appendLog(message);
    g_appending = false;
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // A fatal message ends the process right after this call; the view would never be seen.
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());

    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return; // no application, no Board: nothing can show it
    if (QThread::currentThread() == app->thread()) {
        appendOnOwnThread(message);
        return;
    }
    QMetaObject::invokeMethod(
        app, [message]() { appendOnOwnThread(message); }, Qt::QueuedConnection);
}
} // namespace

QtMessageHandler installLogMessageHandler()
{
    const QtMessageHandler before = qInstallMessageHandler(logMessageHandler);
    if (before != logMessageHandler)
        g_previous = before;
    return g_previous;
}
