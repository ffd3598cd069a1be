#include "testhost/core/TestHost.h"

#include "testhost/core/SuiteRegistry.h"
#include "testhost/project/ProjectHost.h"

#include <QWidget>

namespace {
TestHost *g_host = nullptr; // the suites are C tables: they find their host here

SPErr acquireSuite(const char *name, int version, const void **suite)
{
    return g_host ? g_host->suites().acquire(name, version, suite) : kSPSuiteNotFoundError;
}

SPErr releaseSuite(const char *name, int version)
{
    return g_host ? g_host->suites().release(name, version) : kSPSuiteNotFoundError;
}
} // namespace

struct TestHost::Private
{
    SuiteRegistry suites;
    FaultPlan faults;
    SPBasicSuite basic{&acquireSuite, &releaseSuite};
    std::unique_ptr<ProjectHost> project;
};

TestHost::TestHost(QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    g_host = this;
    d->project = std::make_unique<ProjectHost>(*this, d->suites, d->faults);
}

TestHost::~TestHost()
{
    d->project.reset();
    if (g_host == this)
        g_host = nullptr;
}

TestHost *TestHost::instance() { return g_host; }
SuiteRegistry &TestHost::suites() { return d->suites; }
FaultPlan &TestHost::faults() { return d->faults; }
ProjectHost &TestHost::project() { return *d->project; }
SPBasicSuite *TestHost::basicSuite() { return &d->basic; }

bool TestHost::loadPlugin(const QString &, QString *error)
{
    if (error)
        *error = QStringLiteral("not implemented yet");
    return false;
}

bool TestHost::pluginLoaded() const { return false; }
QVector<MenuEntry> TestHost::menu(AEGP_MenuID) const { return {}; }
void TestHost::updateMenus() {}
bool TestHost::runCommand(AEGP_Command) { return false; }
bool TestHost::chooseWindowMenuEntry(const QString &) { return false; }
QVector<AEGP_Command> TestHost::recordedCommands() const { return {}; }
A_long TestHost::idle(int) { return 60; }
bool TestHost::panelShown(const QString &, bool *frontmost) const
{
    if (frontmost)
        *frontmost = false;
    return false;
}
QWidget *TestHost::panelContainer(const QString &) const { return nullptr; }
void TestHost::setPanelFrame(QWidget *) {}
void TestHost::shutdown() {}
void TestHost::console(const QString &line) { Q_EMIT consoleLine(line); }
