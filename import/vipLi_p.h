#pragma once
// Helpers shared by the host operations (vipLi.cpp, SceneHost.cpp): running a block of host
// calls on a short-lived SuiteCache, and turning the host's text handles into QStrings.
#include "host/SuiteCache.h"
#include "import/HostConnection.h"
#include "import/vipLi.h"

#include <QByteArray>
#include <QString>

namespace vipli {

// Runs body(suites, connection) on a SuiteCache that lives for this call only. Without a host
// connection, or when a suite cannot be acquired (thrown as an integer by the cache), the
// failure is recorded against `line` of `file` like a failed host call and false is returned;
// otherwise body's own result.
template <typename Body> bool withSuites(int line, const char *file, Body body)
{
    HostConnection *connection = HostConnection::instance();
    if (!connection)
        return recordHostResult(A_Err_GENERIC, line, file);
    try {
        SuiteCache suites(connection->basicSuite());
        return body(suites, *connection);
    } catch (int err) {
        return recordHostResult(err == A_Err_NONE ? A_Err_GENERIC : err, line, file);
    }
}

// A NUL-terminated text as the host takes it.
inline const A_UTF16Char *utf16(const QString &text)
{
    return reinterpret_cast<const A_UTF16Char *>(text.utf16());
}

// Reads a host memory handle holding NUL-terminated UTF-16 (names, paths) or UTF-8 (script
// results) text, then frees it. A null handle gives an empty text. False when a memory call
// failed (recorded like any host call).
bool takeUtf16Text(SuiteCache &suites, AEGP_MemHandle handle, QString *text);
bool takeUtf8Text(SuiteCache &suites, AEGP_MemHandle handle, QString *text);

// Project 0 of the host; a call that succeeds without a project shows the
// "AEGP_GetProjectByIndex => NULL" box. False on either failure.
bool projectZero(SuiteCache &suites, AEGP_ProjectH *project);

} // namespace vipli

#define VIP_WITH_SUITES(...) vipli::withSuites(__LINE__, __FILE__, __VA_ARGS__)
