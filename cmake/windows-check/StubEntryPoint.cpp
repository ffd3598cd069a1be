// Entry point of the Windows test DLL: the real one needs Qt, which this compiler does not have.
// It answers like a plug-in that could not start: no error, and the global reference left unset.

#include "host/aegp.h"

CELLKIT_EXPORT A_Err EntryPointFunc(SPBasicSuite *, A_long, A_long, AEGP_PluginID,
                                    AEGP_GlobalRefcon *)
{
    return A_Err_NONE;
}
