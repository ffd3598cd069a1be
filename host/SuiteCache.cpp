#include "host/SuiteCache.h"

namespace {
// The thrown value must be a plain int: the hook functions and the callers catch int.
[[noreturn]] void throwMissingSuite()
{
    throw static_cast<int>(kCellKitSuiteCacheMissingSuite);
}
} // namespace

SuiteCache::SuiteCache(SPBasicSuite *basicSuite)
    : m_basic(basicSuite),
      m_slots{{kAEGPCommandSuite, kAEGPCommandSuiteVersion1, nullptr},
              {kAEGPRegisterSuite, kAEGPRegisterSuiteVersion5, nullptr},
              {kAEGPUtilitySuite, kAEGPUtilitySuiteVersion5, nullptr},
              {kAEGPProjSuite, kAEGPProjSuiteVersion5, nullptr},
              {kAEGPItemSuite, kAEGPItemSuiteVersion8, nullptr},
              {kAEGPCompSuite, kAEGPCompSuiteVersion7, nullptr},
              {kAEGPLayerSuite, kAEGPLayerSuiteVersion5, nullptr},
              {kAEGPFootageSuite, kAEGPFootageSuiteVersion5, nullptr},
              {kAEGPMemorySuite, kAEGPMemorySuiteVersion1, nullptr}}
{
    if (!m_basic)
        throwMissingSuite();
}

SuiteCache::~SuiteCache()
{
    for (Slot &slot : m_slots) {
        if (slot.suite)
            m_basic->ReleaseSuite(slot.name, slot.version);
        slot.suite = nullptr;
    }
}

const void *SuiteCache::acquire(SlotIndex index)
{
    Slot &slot = m_slots[index];
    if (slot.suite)
        return slot.suite;
    const void *suite = nullptr;
    const SPErr err = m_basic->AcquireSuite(slot.name, slot.version, &suite);
    if (err != 0 || !suite)
        throwMissingSuite();
    slot.suite = suite;
    return suite;
}

int SuiteCache::heldCount() const
{
    int n = 0;
    for (const Slot &slot : m_slots)
        n += slot.suite ? 1 : 0;
    return n;
}

const AEGP_CommandSuite1 *SuiteCache::commandSuite()
{
    return static_cast<const AEGP_CommandSuite1 *>(acquire(Command));
}
const AEGP_RegisterSuite5 *SuiteCache::registerSuite()
{
    return static_cast<const AEGP_RegisterSuite5 *>(acquire(Register));
}
const AEGP_UtilitySuite5 *SuiteCache::utilitySuite()
{
    return static_cast<const AEGP_UtilitySuite5 *>(acquire(Utility));
}
const AEGP_ProjSuite5 *SuiteCache::projSuite()
{
    return static_cast<const AEGP_ProjSuite5 *>(acquire(Proj));
}
const AEGP_ItemSuite8 *SuiteCache::itemSuite()
{
    return static_cast<const AEGP_ItemSuite8 *>(acquire(Item));
}
const AEGP_CompSuite7 *SuiteCache::compSuite()
{
    return static_cast<const AEGP_CompSuite7 *>(acquire(Comp));
}
const AEGP_LayerSuite5 *SuiteCache::layerSuite()
{
    return static_cast<const AEGP_LayerSuite5 *>(acquire(Layer));
}
const AEGP_FootageSuite5 *SuiteCache::footageSuite()
{
    return static_cast<const AEGP_FootageSuite5 *>(acquire(Footage));
}
const AEGP_MemorySuite1 *SuiteCache::memorySuite()
{
    return static_cast<const AEGP_MemorySuite1 *>(acquire(Memory));
}
