#include "support/Diagnostics.h"

#include "support/Prompts.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const char kEndMarker[] = "<END>";
const int kEndMarkerLength = 5;
const int kInitialCapacity = 1000;
const int kMinimumGrowth = 1000;
const int kMinimumTrim = 400;
const int kLongEntry = 1000; // longer texts are stored as they come

// Null messages are treated as empty rather than handed to a formatter.
QByteArray bytes(const char *text)
{
    return text ? QByteArray(text) : QByteArray();
}

void showCritical(const QByteArray &text)
{
    Prompts::current().message(nullptr, Prompts::Critical, QString(), QString::fromLatin1(text),
                               Prompts::Ok, Prompts::NoButton);
}

QByteArray readDebugLogPath()
{
    const QByteArray value = qgetenv("CELLKIT_DEBUG_LOG");
#ifdef Q_OS_WIN
    if (value == "1")
        return QByteArrayLiteral("C:\\VD_DEBUG.log");
#endif
    return value;
}

} // namespace

// ---- boxes ---------------------------------------------------------------------------------

void fatalError(const char *message)
{
    showCritical("\n-ERR- " + bytes(message) + "\n\n");
}

void fatalError(const char *message, int number)
{
    showCritical("\n-ERR- " + bytes(message) + ':' + QByteArray::number(number) + "\n\n");
}

void fatalError(const char *message, const char *detail)
{
    showCritical("\n-ERR- " + bytes(message) + ':' + bytes(detail) + "\n\n");
}

void warningError(const char *message, int number)
{
    showCritical("-WAR- " + bytes(message) + ':' + QByteArray::number(number) + '\n');
}

// ---- debug file and error lines ---------------------------------------------------------------

QByteArray debugLogPath()
{
    static const QByteArray path = readDebugLogPath();
    return path;
}

void debugTrace(const char *text)
{
    const QByteArray path = debugLogPath();
    if (path.isEmpty())
        return;
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return; // best effort: a debug file we cannot open is simply skipped
    file.write(bytes(text) + '\n');
}

void logError(const char *text)
{
    debugTrace(text);
    const QByteArray line = bytes(text);
    if (line.size() > kLongEntry) {
        ErrorLog::instance().append(line.constData());
        return;
    }
    // Each short entry starts on its own line; the log keeps DOS line breaks throughout,
    // so "a\nb" is stored as "\r\na\r\nb".
    QByteArray entry("\r\n");
    for (char c : line) {
        if (c == '\n')
            entry += "\r\n";
        else
            entry += c;
    }
    ErrorLog::instance().append(entry.constData());
}

// ---- ErrorLog --------------------------------------------------------------------------------

ErrorLog &ErrorLog::instance()
{
    // Deliberately never destroyed: the host may still report errors while unloading us.
    static ErrorLog *log = new ErrorLog;
    return *log;
}

ErrorLog::ErrorLog()
    : ErrorLog(30000)
{
}

ErrorLog::ErrorLog(int maximum)
    : m_maximum(std::max(maximum, 2 * (kEndMarkerLength + 1)))
{
    clear();
}

ErrorLog::~ErrorLog()
{
    std::free(m_buffer);
}

bool ErrorLog::resize(int capacity)
{
    char *grown = static_cast<char *>(std::realloc(m_buffer, size_t(capacity)));
    if (!grown)
        return false;
    m_buffer = grown;
    m_capacity = capacity;
    return true;
}

void ErrorLog::clear()
{
    if (!m_buffer) {
        m_buffer = static_cast<char *>(std::calloc(kInitialCapacity, 1));
        m_capacity = m_buffer ? kInitialCapacity : 0;
    } else {
        resize(kInitialCapacity);
    }
    if (m_buffer) {
        std::memcpy(m_buffer, kEndMarker, kEndMarkerLength + 1);
        m_length = kEndMarkerLength;
    }
    debugTrace("=== CLEAR LOG ===");
}

int ErrorLog::append(const char *text)
{
    if (!m_buffer)
        return 0;
    int n = text ? int(std::strlen(text)) : 0;
    // An entry that could never fit beside the end marker within the bound keeps its head.
    n = std::min(n, m_maximum - kEndMarkerLength - 1);

    const int need = m_length + 1 + n;
    if (need >= m_capacity) {
        if (need < m_maximum) {
            if (!resize(m_capacity + std::max(n + 100, kMinimumGrowth)))
                return 0;
        } else {
            // Full: forget the oldest bytes, wherever the count falls, even mid-entry.
            const int drop = std::min(std::max(n + 1, kMinimumTrim), m_length);
            std::memmove(m_buffer, m_buffer + drop, size_t(m_length - drop + 1));
            m_length -= drop;
        }
    }
    // After a trim that emptied the log the buffer may still be smaller than the entry.
    const int kept = m_length >= kEndMarkerLength ? m_length - kEndMarkerLength : 0;
    if (kept + n + kEndMarkerLength + 1 > m_capacity
        && !resize(kept + n + kEndMarkerLength + 1)) {
        if (m_length < kEndMarkerLength) { // keep the log well formed
            std::memcpy(m_buffer, kEndMarker, kEndMarkerLength + 1);
            m_length = kEndMarkerLength;
        }
        return 0;
    }
    m_length = kept;
    m_buffer[m_length] = '\0';
    std::memcpy(m_buffer + m_length, text ? text : "", size_t(n));
    m_length += n;
    std::memcpy(m_buffer + m_length, kEndMarker, kEndMarkerLength + 1);
    m_length += kEndMarkerLength;
    return 1;
}
