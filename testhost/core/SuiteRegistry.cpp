#include "testhost/core/SuiteRegistry.h"

void SuiteRegistry::add(const QByteArray &name, int version, const void *table)
{
    m_tables.insert(Key(name, version), table);
}

void SuiteRegistry::refuse(const QByteArray &name)
{
    m_refused.insert(name);
}

void SuiteRegistry::allow(const QByteArray &name)
{
    m_refused.remove(name);
}

SPErr SuiteRegistry::acquire(const char *name, int version, const void **suite)
{
    if (suite)
        *suite = nullptr;
    if (!name || !suite)
        return A_Err_PARAMETER;
    const Key key(QByteArray(name), version);
    const void *table = m_tables.value(key, nullptr);
    if (!table || m_refused.contains(key.first))
        return kSPSuiteNotFoundError;
    *suite = table;
    ++m_held[key];
    return 0;
}

SPErr SuiteRegistry::release(const char *name, int version)
{
    if (!name)
        return A_Err_PARAMETER;
    const Key key(QByteArray(name), version);
    auto it = m_held.find(key);
    if (it == m_held.end() || it.value() <= 0)
        return kSPSuiteNotFoundError;
    --it.value();
    return 0;
}

int SuiteRegistry::held(const QByteArray &name, int version) const
{
    return m_held.value(Key(name, version), 0);
}

int SuiteRegistry::totalHeld() const
{
    int total = 0;
    for (int n : m_held)
        total += n;
    return total;
}

void FaultPlan::failCall(const QByteArray &callName, A_Err code, int times)
{
    m_faults.insert(callName, Fault{code, times});
}

void FaultPlan::clear()
{
    m_faults.clear();
    m_counted.clear();
}

void FaultPlan::countCalls(const QByteArray &callName)
{
    m_counted.insert(callName, 0);
}

int FaultPlan::calls(const QByteArray &callName) const
{
    return m_counted.value(callName, 0);
}

A_Err FaultPlan::check(const char *callName)
{
    // Every host call asks, and a scene import makes hundreds of thousands of them.
    if (m_faults.isEmpty() && m_counted.isEmpty())
        return A_Err_NONE;
    const QByteArray name = QByteArray::fromRawData(callName, int(qstrlen(callName)));
    const auto counted = m_counted.find(name);
    if (counted != m_counted.end())
        ++counted.value();
    auto it = m_faults.find(name);
    if (it == m_faults.end())
        return A_Err_NONE;
    const A_Err code = it->code;
    if (it->remaining > 0 && --it->remaining == 0)
        m_faults.erase(it);
    return code;
}
