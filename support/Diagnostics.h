#pragma once

// Reporting trouble from the low-level code: fatal and warning boxes with fixed formats, and
// the bounded in-memory error log fed by the host operations.
//
// Example: logError("-ERR I- line 212, file(import/vipLi.cpp)") on a new log leaves the text
// "\r\n-ERR I- line 212, file(import/vipLi.cpp)<END>" in ErrorLog::instance().

#include <QByteArray>

// Shows a critical box "\n-ERR- <message>\n\n" (or with ":<number>" / ":<detail>") and returns
// when the user closes it. It never ends the process: the caller abandons its operation and
// returns failure up its call chain.
void fatalError(const char *message);
void fatalError(const char *message, int number);
void fatalError(const char *message, const char *detail);

// Shows a critical box "-WAR- <message>:<number>\n"; the caller carries on.
void warningError(const char *message, int number);

// A line in the debug file (when debugging is switched on), then an entry in ErrorLog.
void logError(const char *text);
// A line in the debug file only (when debugging is switched on).
void debugTrace(const char *text);

// The debug file: set from CELLKIT_DEBUG_LOG at first use; empty when debugging is off.
QByteArray debugLogPath();

// A bounded text buffer of 8-bit error lines that always ends with "<END>".
class ErrorLog
{
public:
    static ErrorLog &instance();

    // A log of its own with a smaller bound, so the growth and trim arithmetic can be
    // exercised without filling 30000 bytes. Production code only uses instance().
    explicit ErrorLog(int maximum);
    ~ErrorLog();

    void clear();
    int append(const char *text); // 1 on success, 0 when growing the buffer fails

    int capacity() const { return m_capacity; }
    int maximum() const { return m_maximum; }
    int length() const { return m_length; }
    const char *text() const { return m_buffer; }

    ErrorLog(const ErrorLog &) = delete;
    ErrorLog &operator=(const ErrorLog &) = delete;

private:
    ErrorLog();
    bool resize(int capacity);

    int m_capacity = 0;
    int m_maximum = 30000;
    int m_length = 0;
    char *m_buffer = nullptr; // owned; one buffer per process
};
