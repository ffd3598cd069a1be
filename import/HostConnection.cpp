#include "import/HostConnection.h"

namespace {
HostConnection *g_connection = nullptr; // C callbacks have no other way to find it
}

HostConnection::HostConnection(SPBasicSuite *basicSuite, AEGP_PluginID pluginId)
    : m_basicSuite(basicSuite), m_pluginId(pluginId)
{
    g_connection = this;
}

HostConnection::~HostConnection()
{
    if (g_connection == this)
        g_connection = nullptr;
}

HostConnection *HostConnection::instance()
{
    return g_connection;
}

void HostConnection::setCurrentComp(AEGP_CompH comp, const QString &name)
{
    m_currentComp = comp;
    m_currentCompName = name;
}
