#pragma once

#include "host/aegp.h"

// The host project operations. Each one builds a short-lived SuiteCache on the basic suite of
// the HostConnection, so its suites are released when it returns; a failed host call is
// recorded (last host error and an "-ERR I- line %d, file(%s)" line in the error log) and the
// operation reports failure instead of throwing.

// Runs a host menu command (3 Open, 5 Save, 16 Undo, 2035 Redo). False when the host refused
// or no connection exists.
bool DoCommand(A_long command);

// Records the result of one host call made at line `line` of source file `file`: 0 clears the
// last host error; anything else becomes the last host error and is logged. True on 0.
bool recordHostResult(A_Err err, int line, const char *file);

// Use as: if (!VIP_HOST_OK(suites.commandSuite()->AEGP_DoCommand(cmd))) return false;
#define VIP_HOST_OK(call) recordHostResult((call), __LINE__, __FILE__)

// "import/vipLi.cpp" from whatever path the compiler gave __FILE__: the folder and the file.
const char *sourceUnitPath(const char *file);
