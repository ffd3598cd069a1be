// Entry point of the Windows test DLL: the real one needs Qt, which this compiler does not have.
// It starts the Qt-free plug-in object the way the real one starts the whole plug-in, so a host
// that refuses a suite sees the object give back what it took, the error stopped here, 0
// answered and the global reference left unset.

#include "host/HookFunctions.h"
#include "host/aegp.h"
#include "host/vdQtAE.h"

CELLKIT_EXPORT A_Err EntryPointFunc(SPBasicSuite *basicSuite, A_long, A_long,
                                    AEGP_PluginID pluginId, AEGP_GlobalRefcon *globalRefcon)
{
    try {
        auto *plugin = new vdQtAE(basicSuite, pluginId);
        setLivePlugin(plugin);
        if (globalRefcon)
            *globalRefcon = reinterpret_cast<AEGP_GlobalRefcon>(plugin);
    } catch (...) {
    }
    return A_Err_NONE;
}
