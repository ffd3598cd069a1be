#pragma once

#include "host/aegp.h"

// The plug-in's one way into the host's suites. Each suite has a slot, empty until the first
// call that needs it acquires it through the basic suite; the destructor gives back every suite
// it holds with the name and version it was acquired under.
//
// Example: SuiteCache cache(basic); cache.commandSuite()->AEGP_DoCommand(16) acquires
// "AEGP Command Suite" v1 once, and ~SuiteCache releases it.
//
// A suite the host cannot give (non-zero result or null table) is thrown as the integer 516;
// so is a null basic suite at construction. The caller's hook function stops it.
class SuiteCache
{
public:
    explicit SuiteCache(SPBasicSuite *basicSuite);
    ~SuiteCache();

    SuiteCache(const SuiteCache &) = delete;
    SuiteCache &operator=(const SuiteCache &) = delete;

    SPBasicSuite *basicSuite() const { return m_basic; }

    const AEGP_CommandSuite1 *commandSuite();
    const AEGP_RegisterSuite5 *registerSuite();
    const AEGP_UtilitySuite5 *utilitySuite();
    const AEGP_ProjSuite5 *projSuite();
    const AEGP_ItemSuite8 *itemSuite();
    const AEGP_CompSuite7 *compSuite();
    const AEGP_LayerSuite5 *layerSuite();
    const AEGP_FootageSuite5 *footageSuite();
    const AEGP_MemorySuite1 *memorySuite();

    // How many slots hold a suite now.
    int heldCount() const;

private:
    struct Slot
    {
        const char *name;
        int version;
        const void *suite;
    };
    enum SlotIndex { Command, Register, Utility, Proj, Item, Comp, Layer, Footage, Memory, SlotCount };

    const void *acquire(SlotIndex index);

    SPBasicSuite *m_basic;
    Slot m_slots[SlotCount];
};
