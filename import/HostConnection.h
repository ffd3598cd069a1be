#pragma once

#include "host/aegp.h"

#include <QString>

// What every host operation needs to reach the host: the basic suite and plug-in id handed to
// the entry point, the scene composition that layers go into and its name (given to generated
// scripts as _CurCompName, so a script finds the composition again), and the error code of the
// last host call.
//
// Example: after the scene SC01 is set up, currentComp() is its handle and currentCompName()
// "SC01"; a precomposition script then starts with "var _CurCompName='SC01';".
//
// The plug-in object creates the one instance at start-up; C callbacks and key handlers reach
// it through instance(), which is null before that (and after the owner is gone).
class HostConnection
{
public:
    HostConnection(SPBasicSuite *basicSuite, AEGP_PluginID pluginId);
    ~HostConnection();

    HostConnection(const HostConnection &) = delete;
    HostConnection &operator=(const HostConnection &) = delete;

    static HostConnection *instance();

    SPBasicSuite *basicSuite() const { return m_basicSuite; }
    AEGP_PluginID pluginId() const { return m_pluginId; }

    AEGP_CompH currentComp() const { return m_currentComp; }
    // The whole Unicode name: names are never cut to Latin-1 or to a fixed buffer.
    QString currentCompName() const { return m_currentCompName; }
    void setCurrentComp(AEGP_CompH comp, const QString &name);
    void clearCurrentComp() { setCurrentComp(nullptr, QString()); }

    A_Err lastError() const { return m_lastError; }
    void setLastError(A_Err err) { m_lastError = err; }

    // Counts the host operations that may have added, moved or removed project items (a
    // script, a host command, a new project, an import): what a footage index learnt of the
    // project holds while the count stays the same.
    quint64 projectChanges() const { return m_projectChanges; }
    void projectChanged() { ++m_projectChanges; }

private:
    SPBasicSuite *m_basicSuite;
    AEGP_PluginID m_pluginId;
    AEGP_CompH m_currentComp = nullptr;
    QString m_currentCompName;
    A_Err m_lastError = A_Err_NONE;
    quint64 m_projectChanges = 0;
};
