#include "import/vipLi.h"

#include "host/SuiteCache.h"
#include "import/HostConnection.h"
#include "support/Diagnostics.h"

#include <cstdio>
#include <cstring>

const char *sourceUnitPath(const char *file)
{
    if (!file)
        return "";
    // Keep the last two components: the error lines name the unit, not the build machine.
    const char *last = nullptr;
    const char *previous = nullptr;
    for (const char *p = file; *p; ++p) {
        if (*p == '/' || *p == '\\') {
            previous = last;
            last = p;
        }
    }
    return previous ? previous + 1 : file;
}

bool recordHostResult(A_Err err, int line, const char *file)
{
    if (HostConnection *connection = HostConnection::instance())
        connection->setLastError(err);
    if (err == A_Err_NONE)
        return true;
    char text[400];
    std::snprintf(text, sizeof text, "-ERR I- line %d, file(%s)", line, sourceUnitPath(file));
    logError(text);
    return false;
}

bool DoCommand(A_long command)
{
    HostConnection *connection = HostConnection::instance();
    if (!connection)
        return VIP_HOST_OK(A_Err_GENERIC);
    try {
        SuiteCache suites(connection->basicSuite());
        return VIP_HOST_OK(suites.commandSuite()->AEGP_DoCommand(command));
    } catch (int err) {
        // A missing suite (516) is a host failure like any other: key handlers call us and no
        // exception may leave a Qt event handler.
        return VIP_HOST_OK(err);
    }
}
