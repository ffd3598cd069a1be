#include "host/SuiteCache.h"

#include <QtTest>

#include <map>
#include <string>
#include <utility>

namespace {
// A basic suite that counts what is held, per name and version, and can refuse or answer a
// null table.
struct FakeBroker
{
    std::map<std::pair<std::string, int>, int> held;
    std::string refused;
    bool nullTable = false;
    int table = 0;
};
FakeBroker *g_broker = nullptr;

SPErr fakeAcquire(const char *name, int version, const void **suite)
{
    *suite = nullptr;
    if (g_broker->refused == name)
        return kSPSuiteNotFoundError;
    if (!g_broker->nullTable)
        *suite = &g_broker->table;
    ++g_broker->held[{name, version}];
    return 0;
}

SPErr fakeRelease(const char *name, int version)
{
    --g_broker->held[{name, version}];
    return 0;
}

SPBasicSuite g_basic{&fakeAcquire, &fakeRelease};
} // namespace

class TestSuiteCache : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { g_broker = &m_broker; m_broker = FakeBroker(); }

    void nullBasicSuiteThrows516()
    {
        try {
            SuiteCache cache(nullptr);
            QFAIL("no exception");
        } catch (int err) {
            QCOMPARE(err, 516);
        }
    }

    void acquiresOnceAndReleasesWithItsVersion()
    {
        {
            SuiteCache cache(&g_basic);
            QCOMPARE(cache.heldCount(), 0);
            QVERIFY(cache.commandSuite());
            QVERIFY(cache.commandSuite());
            QVERIFY(cache.itemSuite());
            QCOMPARE((m_broker.held[{kAEGPCommandSuite, kAEGPCommandSuiteVersion1}]), 1);
            QCOMPARE((m_broker.held[{kAEGPItemSuite, kAEGPItemSuiteVersion8}]), 1);
            QCOMPARE(cache.heldCount(), 2);
        }
        for (const auto &entry : m_broker.held)
            QCOMPARE(entry.second, 0);
    }

    void missingSuiteThrows516_data()
    {
        QTest::addColumn<bool>("nullTable");
        QTest::newRow("refused") << false;
        QTest::newRow("null table") << true;
    }
    void missingSuiteThrows516()
    {
        QFETCH(bool, nullTable);
        m_broker.nullTable = nullTable;
        if (!nullTable)
            m_broker.refused = kAEGPLayerSuite;
        {
            SuiteCache cache(&g_basic);
            QVERIFY_EXCEPTION_THROWN(cache.layerSuite(), int);
            try {
                cache.layerSuite();
            } catch (int err) {
                QCOMPARE(err, 516);
            }
            QCOMPARE(cache.heldCount(), 0);
        }
        // A null table on success is the host's count to keep: nothing was released for it.
        QCOMPARE((m_broker.held[{kAEGPLayerSuite, kAEGPLayerSuiteVersion5}]), nullTable ? 2 : 0);
    }

private:
    FakeBroker m_broker;
};

QTEST_GUILESS_MAIN(TestSuiteCache)
#include "tst_suitecache.moc"
