#pragma once

// The host API as the plug-in sees it: the basic suite (suite broker), the suites it acquires
// by name and version, their function tables, handles and plain value types.
//
// This is our own declaration of the subset we call, written from the host's published
// behaviour. Members of each table are declared in the order the host lays them out for the
// calls we use; a build against the real host SDK (CELLKIT_HOST_SDK) replaces this one header
// and nothing else. The test host (testhost/) serves exactly these tables.
//
// Worked example: the plug-in asks for "AEGP Command Suite" version 1 with
//   const void *p = nullptr; basic->AcquireSuite(kAEGPCommandSuite, kAEGPCommandSuiteVersion1, &p);
// and calls static_cast<const AEGP_CommandSuite1 *>(p)->AEGP_GetUniqueCommand(&cmd).

#include <cstdint>

#ifdef _WIN32
#define CELLKIT_EXPORT extern "C" __declspec(dllexport)
#else
#define CELLKIT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

extern "C" {

// ---- Plain types --------------------------------------------------------------------------
typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint8_t A_u_char;
typedef char A_char;
typedef uint8_t A_Boolean;
typedef double A_FpLong;
typedef uint16_t A_UTF16Char;
typedef A_long A_Err;
typedef int SPErr;

struct A_Time {
    A_long value;
    A_u_long scale; // seconds = value / scale
};

struct A_Ratio {
    A_long num;
    A_u_long den;
};

struct A_LPoint {
    A_long x;
    A_long y;
};

enum {
    A_Err_NONE = 0,
    A_Err_GENERIC = 1,
    A_Err_STRUCT = 2,
    A_Err_PARAMETER = 3,
    A_Err_ALLOC = 4,
    A_Err_MISSING_SUITE = 13, // "acquire suite failed on a required suite"
};

// The suite cache's own error for a suite it cannot get.
enum { kCellKitSuiteCacheMissingSuite = 516 };

// The basic suite's error for an unknown suite name or version: 'S!Fd'.
enum { kSPSuiteNotFoundError = 0x53214664 };

// ---- Opaque handles -----------------------------------------------------------------------
typedef A_long AEGP_PluginID;
typedef A_long AEGP_Command;
typedef A_u_long AEGP_HookPriority;
typedef A_long AEGP_MenuID;
typedef A_long AEGP_WindowType;
typedef A_short AEGP_ItemType;
typedef A_u_long AEGP_MemSize;
typedef A_long AEGP_MemFlag;
typedef A_u_char AEGP_InterpretationStyle;
typedef A_long AEGP_FlyoutMenuCmdID;

struct _AEGP_GlobalRefcon;
struct _AEGP_CommandRefcon;
struct _AEGP_UpdateMenuRefcon;
struct _AEGP_DeathRefcon;
struct _AEGP_IdleRefcon;
struct _AEGP_CreatePanelRefcon;
struct _AEGP_PanelRefcon;
struct _AEGP_Panel;
struct _AEGP_Project;
struct _AEGP_Item;
struct _AEGP_Comp;
struct _AEGP_Layer;
struct _AEGP_Footage;
struct _AEGP_MemHandle;
struct _AEGP_FootageLayerKey;

typedef _AEGP_GlobalRefcon *AEGP_GlobalRefcon;
typedef _AEGP_CommandRefcon *AEGP_CommandRefcon;
typedef _AEGP_UpdateMenuRefcon *AEGP_UpdateMenuRefcon;
typedef _AEGP_DeathRefcon *AEGP_DeathRefcon;
typedef _AEGP_IdleRefcon *AEGP_IdleRefcon;
typedef _AEGP_CreatePanelRefcon *AEGP_CreatePanelRefcon;
typedef _AEGP_PanelRefcon *AEGP_PanelRefcon;
typedef _AEGP_Panel *AEGP_PanelH;
typedef _AEGP_Project *AEGP_ProjectH;
typedef _AEGP_Item *AEGP_ItemH;
typedef _AEGP_Comp *AEGP_CompH;
typedef _AEGP_Layer *AEGP_LayerH;
typedef _AEGP_Footage *AEGP_FootageH;
typedef _AEGP_MemHandle *AEGP_MemHandle;
typedef _AEGP_FootageLayerKey AEGP_FootageLayerKey;

// The native container of a workspace panel: a window handle on Windows. The test host hands
// over a pointer to a QWidget that it owns (it shares the process's Qt libraries with us).
#ifdef _WIN32
typedef struct HWND__ *AEGP_PlatformViewRef;
#else
typedef void *AEGP_PlatformViewRef;
#endif

// ---- Constants ----------------------------------------------------------------------------
enum {
    AEGP_Menu_NONE = 0,
    AEGP_Menu_FILE = 2,
    AEGP_Menu_EDIT = 3,
    AEGP_Menu_WINDOW = 7,
};

enum {
    AEGP_MENU_INSERT_SORTED = -2,
    AEGP_MENU_INSERT_AT_BOTTOM = -1,
    AEGP_MENU_INSERT_AT_TOP = 0,
};

enum {
    AEGP_HP_BeforeAE = 0x1,
    AEGP_HP_AfterAE = 0x2,
};

enum { AEGP_Command_ALL = 0 };

// Host command numbers the panel forwards from its standard key sequences.
enum {
    kHostCommandOpen = 3,
    kHostCommandSave = 5,
    kHostCommandUndo = 16,
    kHostCommandRedo = 2035,
};

enum {
    AEGP_ItemType_NONE = 0,
    AEGP_ItemType_FOLDER = 1,
    AEGP_ItemType_COMP = 2,
    AEGP_ItemType_FOOTAGE = 4,
};

enum {
    AEGP_MemFlag_NONE = 0,
    AEGP_MemFlag_CLEAR = 1,
    AEGP_MemFlag_QUIET = 2,
};

enum {
    AEGP_InterpretationStyle_NO_DIALOG_GUESS = 0,
    AEGP_InterpretationStyle_DIALOG_OK = 1,
    AEGP_InterpretationStyle_NO_DIALOG_NO_GUESS = 2,
};

enum { AEGP_ANY_FRAME = -1, AEGP_FOOTAGE_MAIN_FILE_INDEX = 0 };

// ---- Value records ------------------------------------------------------------------------
struct AEGP_FileSequenceImportOptions {
    A_Boolean all_in_folderB;      // false: a single still frame
    A_Boolean force_alphabeticalB; // order files by name, gaps allowed
    A_long start_frameL;           // AEGP_ANY_FRAME: the earliest found
    A_long end_frameL;             // AEGP_ANY_FRAME: the last found
};

struct AEGP_LoopBehavior {
    A_long loops;
    A_long reserved;
};

struct AEGP_FootageInterp {
    A_long il; // interlace
    A_long al; // alpha
    A_long pd; // pulldown
    AEGP_LoopBehavior loop;
    A_Ratio pix_aspect_ratio;
    A_FpLong native_fpsF;
    A_FpLong conform_fpsF; // the frame rate used for the footage item
    A_long depthL;
    A_Boolean motion_dB;
};

struct AEGP_FlyoutMenuItem {
    A_long indent;
    A_long type;
    A_Boolean enabledB;
    A_long cmdID;
    const A_u_char *utf8NameZ;
};

// ---- Hooks --------------------------------------------------------------------------------
typedef A_Err (*AEGP_CommandHook)(AEGP_GlobalRefcon plugin_refconP, AEGP_CommandRefcon refconP,
                                  AEGP_Command command, AEGP_HookPriority hook_priority,
                                  A_Boolean already_handledB, A_Boolean *handledPB);
typedef A_Err (*AEGP_UpdateMenuHook)(AEGP_GlobalRefcon plugin_refconP,
                                     AEGP_UpdateMenuRefcon refconP,
                                     AEGP_WindowType active_window);
typedef A_Err (*AEGP_DeathHook)(AEGP_GlobalRefcon plugin_refconP, AEGP_DeathRefcon refconP);
typedef A_Err (*AEGP_IdleHook)(AEGP_GlobalRefcon plugin_refconP, AEGP_IdleRefcon refconP,
                               A_long *max_sleepPL); // in and out, in 1/60 s ticks

struct AEGP_PanelFunctions1 {
    A_Err (*GetSnapSizes)(AEGP_PanelRefcon refcon, A_LPoint *snapSizes, A_long *numSizesP);
    A_Err (*PopulateFlyout)(AEGP_PanelRefcon refcon, AEGP_FlyoutMenuItem *itemsP,
                            A_long *in_out_numItemsP);
    A_Err (*DoFlyoutCommand)(AEGP_PanelRefcon refcon, AEGP_FlyoutMenuCmdID commandID);
};

typedef A_Err (*AEGP_CreatePanelHook)(AEGP_GlobalRefcon plugin_refconP,
                                      AEGP_CreatePanelRefcon refconP,
                                      AEGP_PlatformViewRef container, AEGP_PanelH panelH,
                                      AEGP_PanelFunctions1 *outFunctionTable,
                                      AEGP_PanelRefcon *outRefcon);

// ---- Basic suite --------------------------------------------------------------------------
struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char *name, int version, const void **suite);
    SPErr (*ReleaseSuite)(const char *name, int version);
};

// ---- Suite names and versions ---------------------------------------------------------------
// The item and composition suites are the versions whose names are Unicode memory handles,
// so item and composition names are never cut at 31 characters.
#define kAEGPWorkspacePanelSuite "AEGP Workspace Panel Suite"
#define kAEGPWorkspacePanelSuiteVersion1 1
#define kAEGPCommandSuite "AEGP Command Suite"
#define kAEGPCommandSuiteVersion1 1
#define kAEGPRegisterSuite "AEGP Register Suite"
#define kAEGPRegisterSuiteVersion5 6
#define kPFAppSuite "PF AE App Suite"
#define kPFAppSuiteVersion6 6
#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPUtilitySuiteVersion5 11
#define kAEGPProjSuite "AEGP Proj Suite"
#define kAEGPProjSuiteVersion5 8
#define kAEGPItemSuite "AEGP Item Suite"
#define kAEGPItemSuiteVersion8 13
#define kAEGPCompSuite "AEGP Comp Suite"
#define kAEGPCompSuiteVersion7 15
#define kAEGPLayerSuite "AEGP Layer Suite"
#define kAEGPLayerSuiteVersion5 10
#define kAEGPFootageSuite "AEGP Footage Suite"
#define kAEGPFootageSuiteVersion5 11
#define kAEGPMemorySuite "AEGP Memory Suite"
#define kAEGPMemorySuiteVersion1 1

// ---- Suites ---------------------------------------------------------------------------------
struct AEGP_CommandSuite1 {
    A_Err (*AEGP_GetUniqueCommand)(AEGP_Command *unique_commandP);
    A_Err (*AEGP_InsertMenuCommand)(AEGP_Command command, const A_char *nameZ,
                                    AEGP_MenuID menu_id, A_long after_itemL);
    A_Err (*AEGP_RemoveMenuCommand)(AEGP_Command command);
    A_Err (*AEGP_SetMenuCommandName)(AEGP_Command command, const A_char *nameZ);
    A_Err (*AEGP_EnableCommand)(AEGP_Command command);
    A_Err (*AEGP_DisableCommand)(AEGP_Command command);
    A_Err (*AEGP_CheckMarkMenuCommand)(AEGP_Command command, A_Boolean checkB);
    A_Err (*AEGP_DoCommand)(AEGP_Command command);
};

struct AEGP_RegisterSuite5 {
    A_Err (*AEGP_RegisterCommandHook)(AEGP_PluginID aegp_plugin_id,
                                      AEGP_HookPriority hook_priority, AEGP_Command command,
                                      AEGP_CommandHook command_hook_func,
                                      AEGP_CommandRefcon refconP);
    A_Err (*AEGP_RegisterUpdateMenuHook)(AEGP_PluginID aegp_plugin_id,
                                         AEGP_UpdateMenuHook update_menu_hook_func,
                                         AEGP_UpdateMenuRefcon refconP);
    A_Err (*AEGP_RegisterDeathHook)(AEGP_PluginID aegp_plugin_id,
                                    AEGP_DeathHook death_hook_func, AEGP_DeathRefcon refconP);
    A_Err (*AEGP_RegisterIdleHook)(AEGP_PluginID aegp_plugin_id, AEGP_IdleHook idle_hook_func,
                                   AEGP_IdleRefcon refconP);
};

struct AEGP_PanelSuite1 {
    A_Err (*AEGP_RegisterCreatePanelHook)(AEGP_PluginID in_plugin_id,
                                          const A_u_char *in_utf8_match_nameZ,
                                          AEGP_CreatePanelHook in_update_menu_hook_func,
                                          AEGP_CreatePanelRefcon in_refconP,
                                          A_Boolean in_paint_backgroundB);
    A_Err (*AEGP_UnRegisterCreatePanelHook)(const A_u_char *in_utf8_match_nameZ);
    A_Err (*AEGP_SetTitle)(AEGP_PanelH in_panelH, const A_u_char *in_utf8_nameZ);
    A_Err (*AEGP_ToggleVisibility)(const A_u_char *in_utf8_match_nameZ);
    A_Err (*AEGP_IsShown)(const A_u_char *in_utf8_match_nameZ, A_Boolean *out_tab_is_shownB,
                          A_Boolean *out_panel_is_frontmostB);
};

// Held for the panel's life; the plug-in never calls into it.
struct PFAppSuite6 {
    A_Err (*PF_AppGetBgColor)(void *bg_colorP);
};

struct AEGP_MemorySuite1 {
    A_Err (*AEGP_NewMemHandle)(AEGP_PluginID plugin_id, const A_char *whatZ, AEGP_MemSize size,
                               AEGP_MemFlag flags, AEGP_MemHandle *memPH);
    A_Err (*AEGP_FreeMemHandle)(AEGP_MemHandle memH);
    A_Err (*AEGP_LockMemHandle)(AEGP_MemHandle memH, void **ptr_to_ptr);
    A_Err (*AEGP_UnlockMemHandle)(AEGP_MemHandle memH);
    A_Err (*AEGP_GetMemHandleSize)(AEGP_MemHandle memH, AEGP_MemSize *sizeP);
    A_Err (*AEGP_ResizeMemHandle)(const A_char *whatZ, AEGP_MemSize new_size,
                                  AEGP_MemHandle memH);
    A_Err (*AEGP_SetMemReportingOn)(A_Boolean turn_OnB);
    A_Err (*AEGP_GetMemStats)(AEGP_PluginID plugin_id, A_long *countPL, A_long *sizePL);
};

struct AEGP_ProjSuite5 {
    A_Err (*AEGP_GetNumProjects)(A_long *num_projPL);
    A_Err (*AEGP_GetProjectByIndex)(A_long proj_indexL, AEGP_ProjectH *projPH);
    A_Err (*AEGP_GetProjectName)(AEGP_ProjectH projH, A_char *nameZ);
    A_Err (*AEGP_GetProjectPath)(AEGP_ProjectH projH, AEGP_MemHandle *unicode_pathPH);
    A_Err (*AEGP_GetProjectRootFolder)(AEGP_ProjectH projH, AEGP_ItemH *root_folderPH);
    A_Err (*AEGP_SaveProjectToPath)(AEGP_ProjectH projH, const A_UTF16Char *pathZ);
    A_Err (*AEGP_ProjectIsDirty)(AEGP_ProjectH projH, A_Boolean *is_dirtyPB);
    A_Err (*AEGP_SaveProjectAs)(AEGP_ProjectH projH, const A_UTF16Char *pathZ);
    A_Err (*AEGP_NewProject)(AEGP_ProjectH *new_projectPH);
    A_Err (*AEGP_OpenProjectFromPath)(const A_UTF16Char *pathZ, AEGP_ProjectH *projectPH);
};

struct AEGP_ItemSuite8 {
    A_Err (*AEGP_GetFirstProjItem)(AEGP_ProjectH projectH, AEGP_ItemH *itemPH);
    A_Err (*AEGP_GetNextProjItem)(AEGP_ProjectH projectH, AEGP_ItemH itemH,
                                  AEGP_ItemH *next_itemPH); // null after the last item
    A_Err (*AEGP_GetActiveItem)(AEGP_ItemH *itemPH);
    A_Err (*AEGP_GetItemType)(AEGP_ItemH itemH, AEGP_ItemType *item_typeP);
    // UTF-16 name in a new memory handle that the caller frees.
    A_Err (*AEGP_GetItemName)(AEGP_PluginID pluginID, AEGP_ItemH itemH,
                              AEGP_MemHandle *unicode_namePH);
    A_Err (*AEGP_SetItemName)(AEGP_ItemH itemH, const A_UTF16Char *nameZ);
    A_Err (*AEGP_GetItemID)(AEGP_ItemH itemH, A_long *item_idPL);
    A_Err (*AEGP_GetItemParentFolder)(AEGP_ItemH itemH, AEGP_ItemH *parent_folder_itemPH);
    A_Err (*AEGP_GetItemDuration)(AEGP_ItemH itemH, A_Time *durationPT);
    A_Err (*AEGP_GetItemDimensions)(AEGP_ItemH itemH, A_long *widthPL, A_long *heightPL);
    A_Err (*AEGP_DeleteItem)(AEGP_ItemH itemH);
    A_Err (*AEGP_CreateNewFolder)(const A_UTF16Char *nameZ, AEGP_ItemH parent_folderH0,
                                  AEGP_ItemH *new_folderPH);
};

struct AEGP_CompSuite7 {
    A_Err (*AEGP_GetCompFromItem)(AEGP_ItemH itemH, AEGP_CompH *compPH);
    A_Err (*AEGP_GetItemFromComp)(AEGP_CompH compH, AEGP_ItemH *itemPH);
    A_Err (*AEGP_GetCompFramerate)(AEGP_CompH compH, A_FpLong *fpsPF);
    A_Err (*AEGP_SetCompFrameRate)(AEGP_CompH compH, const A_FpLong *fpsP);
    A_Err (*AEGP_SetCompPixelAspectRatio)(AEGP_CompH compH, const A_Ratio *pix_aspectratioPRt);
    A_Err (*AEGP_SetCompDimensions)(AEGP_CompH compH, A_long widthL, A_long heightL);
    A_Err (*AEGP_SetCompDuration)(AEGP_CompH compH, const A_Time *durationPT);
    A_Err (*AEGP_CreateComp)(AEGP_ItemH parent_folderH0, const A_UTF16Char *nameZ, A_long widthL,
                             A_long heightL, const A_Ratio *pixel_aspect_ratioPRt,
                             const A_Time *durationPT, const A_Ratio *frameratePRt,
                             AEGP_CompH *new_compPH);
};

struct AEGP_LayerSuite5 {
    A_Err (*AEGP_GetCompNumLayers)(AEGP_CompH compH, A_long *num_layersPL);
    A_Err (*AEGP_GetCompLayerByIndex)(AEGP_CompH compH, A_long layer_indexL,
                                      AEGP_LayerH *layerPH); // 0 is the topmost layer
    A_Err (*AEGP_GetLayerIndex)(AEGP_LayerH layerH, A_long *layer_indexPL);
    A_Err (*AEGP_GetLayerSourceItem)(AEGP_LayerH layerH, AEGP_ItemH *source_itemPH);
    A_Err (*AEGP_GetLayerParentComp)(AEGP_LayerH layerH, AEGP_CompH *compPH);
    A_Err (*AEGP_GetLayerName)(AEGP_PluginID pluginID, AEGP_LayerH layerH,
                               AEGP_MemHandle *utf_layer_namePH0,
                               AEGP_MemHandle *utf_source_namePH0);
    A_Err (*AEGP_IsAddLayerValid)(AEGP_ItemH item_to_addH, AEGP_CompH into_compH,
                                  A_Boolean *validPB);
    A_Err (*AEGP_AddLayer)(AEGP_ItemH item_to_addH, AEGP_CompH into_compH,
                           AEGP_LayerH *added_layerPH0); // the new layer goes on top
};

struct AEGP_FootageSuite5 {
    A_Err (*AEGP_GetMainFootageFromItem)(AEGP_ItemH itemH, AEGP_FootageH *footagePH);
    A_Err (*AEGP_GetFootageNumFiles)(AEGP_FootageH footageH, A_long *num_main_filesPL0,
                                     A_long *files_per_framePL0);
    A_Err (*AEGP_GetFootagePath)(AEGP_FootageH footageH, A_long frame_numL, A_long file_indexL,
                                 AEGP_MemHandle *unicode_pathPH); // UTF-16, caller frees
    A_Err (*AEGP_NewFootage)(AEGP_PluginID aegp_plugin_id, const A_UTF16Char *pathZ,
                             const AEGP_FootageLayerKey *layer_infoP0,
                             const AEGP_FileSequenceImportOptions *sequence_optionsP0,
                             AEGP_InterpretationStyle interp_style, void *reserved,
                             AEGP_FootageH *footagePH);
    A_Err (*AEGP_AddFootageToProject)(AEGP_FootageH footageH, AEGP_ItemH folderH,
                                      AEGP_ItemH *added_itemPH0);
    A_Err (*AEGP_DisposeFootage)(AEGP_FootageH footageH);
    A_Err (*AEGP_GetFootageInterpretation)(const AEGP_ItemH itemH, A_Boolean proxyB,
                                           AEGP_FootageInterp *interpP);
    A_Err (*AEGP_SetFootageInterpretation)(const AEGP_ItemH itemH, A_Boolean proxyB,
                                           const AEGP_FootageInterp *interpP);
};

struct AEGP_UtilitySuite5 {
    A_Err (*AEGP_ReportInfo)(AEGP_PluginID aegp_plugin_id, const A_char *info_stringZ);
    A_Err (*AEGP_StartUndoGroup)(const A_char *undo_nameZ);
    A_Err (*AEGP_EndUndoGroup)(void);
    A_Err (*AEGP_CauseIdleRoutinesToBeCalled)(void);
    // The text is UTF-8 unless platform_encodingB is set; result and error come back in the
    // same encoding, in new memory handles that the caller frees (both optional).
    A_Err (*AEGP_ExecuteScript)(AEGP_PluginID inPlugin_id, const A_char *inScriptZ,
                                const A_Boolean platform_encodingB,
                                AEGP_MemHandle *outResultPH0, AEGP_MemHandle *outErrorStringPH0);
    A_Err (*AEGP_IsScriptingAvailable)(A_Boolean *outAvailablePB);
};

// ---- Entry point ----------------------------------------------------------------------------
typedef A_Err (*AEGP_EntryPointFunc)(SPBasicSuite *pica_basicP, A_long major_versionL,
                                     A_long minor_versionL, AEGP_PluginID aegp_plugin_id,
                                     AEGP_GlobalRefcon *global_refconP);

} // extern "C"
