#include "host/HookFunctions.h"
#include "host/StartupApplication.h"
#include "host/aegp.h"
#include "host/vdReelTools.h"

#ifndef _WIN32
namespace {
// Runs when the module is loaded, before the host calls the entry point.
__attribute__((constructor)) void onModuleLoad()
{
    ensureQtApplication();
}
} // namespace
#endif

// The one exported symbol of the plug-in module. It always answers 0: a plug-in that could not
// start simply leaves the global reference unset.
CELLKIT_EXPORT A_Err EntryPointFunc(SPBasicSuite *basicSuite, A_long, A_long,
                                    AEGP_PluginID pluginId, AEGP_GlobalRefcon *globalRefcon)
{
#ifdef _WIN32
    // Windows loads the module under its loader lock, where starting Qt (which loads its
    // platform plug-in DLL) may deadlock; the host calls the entry point first thing after.
    ensureQtApplication();
#endif
    try {
        // Lives until the process ends: the host never unloads us and the death hook does
        // nothing.
        auto *plugin = new vdReelTools(basicSuite, pluginId);
        setLivePlugin(plugin);
        if (globalRefcon)
            *globalRefcon = reinterpret_cast<AEGP_GlobalRefcon>(static_cast<vdQtAE *>(plugin));
    } catch (...) {
    }
    return A_Err_NONE;
}
