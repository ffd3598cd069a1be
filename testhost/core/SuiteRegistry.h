#pragma once

#include "host/aegp.h"

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QSet>

// The suites the test host serves, by name and version, with the reference counts of what the
// plug-in holds. A suite can be refused by name for a test (acquiring it then fails with the
// basic suite's "suite not found" error), as on a host that lacks it.
class SuiteRegistry
{
public:
    void add(const QByteArray &name, int version, const void *table);
    void refuse(const QByteArray &name);
    void allow(const QByteArray &name);

    SPErr acquire(const char *name, int version, const void **suite);
    SPErr release(const char *name, int version);

    // How many acquisitions of that suite are not released yet.
    int held(const QByteArray &name, int version) const;
    int totalHeld() const;

private:
    using Key = QPair<QByteArray, int>;
    QHash<Key, const void *> m_tables;
    QHash<Key, int> m_held;
    QSet<QByteArray> m_refused;
};

// Fault injection for tests: the named call (e.g. "AEGP_InsertMenuCommand") answers with the
// given error instead of doing its work, for the next `times` calls (-1: until cleared). Every
// suite function asks here first, so the plan can also count calls by name.
class FaultPlan
{
public:
    void failCall(const QByteArray &callName, A_Err code, int times = -1);
    void clear();
    // The error a suite function must return now, or A_Err_NONE to go on.
    A_Err check(const char *callName);

    // Counts the calls of that name from now on, for tests of how much host work a run does.
    void countCalls(const QByteArray &callName);
    int calls(const QByteArray &callName) const;

private:
    struct Fault
    {
        A_Err code = A_Err_NONE;
        int remaining = -1;
    };
    QHash<QByteArray, Fault> m_faults;
    QHash<QByteArray, int> m_counted;
};
