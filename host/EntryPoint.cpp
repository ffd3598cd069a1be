#include "host/aegp.h"

// The one exported symbol of the plug-in module.
CELLKIT_EXPORT A_Err EntryPointFunc(SPBasicSuite *, A_long, A_long, AEGP_PluginID,
                                    AEGP_GlobalRefcon *)
{
    return A_Err_NONE;
}
