#pragma once

#include <string>

// Process-wide Win32 steps of a module whose Qt code runs inside a host that owns the message
// loop. No <windows.h> and no Qt in this header.
//
// Worked example: at start-up the plug-in creates the Qt application, then calls
// installMessageHook(&drive) where drive() sends Qt's posted events; every message the host's
// loop fetches on that thread now first lets Qt deliver what was posted (queued signals,
// deferred deletes, layout requests). pinOwnModule() loads the module once more by its own
// file name, so the code the Qt application calls back stays mapped for the process's life.
class NativeProcess
{
public:
    // Installs the message hook on the calling thread, once per process; later calls keep
    // the first hook. False when Windows refused it.
    static bool installMessageHook(void (*drive)());
    static bool hasMessageHook();

    // The module that holds this code, by its own full file name (any length, any characters).
    static bool pinOwnModule();
    // That file name, e.g. C:\...\Plug-ins\Quillmark\cellKit4After.aex; empty on failure.
    static std::wstring ownModuleFileName();
};
