// Start-up of the real module: its look in a process without a Qt application, and its
// failures. The module is loaded once per process, so each scenario runs in a child process:
// this same executable, started with CELLKIT_SHELL_SCENARIO naming the scenario, loads the
// module into a fresh test host and checks it in-process.
#include "HostProcess.h"

#include "testhost/core/SuiteRegistry.h"
#include "testhost/core/TestHost.h"

#include <QApplication>
#include <QLibrary>
#include <QStyle>
#include <QtTest>

#include <cstdio>

namespace {
struct Scenario
{
    const char *name;
    const char *refuseSuite; // or null
    const char *failCall;    // or null
    bool started;            // the plug-in object was built
    bool menuEntry;          // "cellKit" stands in the Window menu
    int hooks;               // hooks registered before the failure
};

const Scenario kScenarios[] = {
    {"normal", nullptr, nullptr, true, true, 5},
    {"no panel suite", kAEGPWorkspacePanelSuite, nullptr, false, false, 0},
    {"no command suite", kAEGPCommandSuite, nullptr, false, false, 0},
    {"no register suite", kAEGPRegisterSuite, nullptr, false, true, 0},
    {"insert fails", nullptr, "AEGP_InsertMenuCommand", false, false, 0},
    {"death hook fails", nullptr, "AEGP_RegisterDeathHook", false, true, 3},
    {"panel hook fails", nullptr, "AEGP_RegisterCreatePanelHook", false, true, 4},
};

const Scenario *findScenario(const QByteArray &name)
{
    for (const Scenario &s : kScenarios)
        if (name == s.name)
            return &s;
    return nullptr;
}

#define CHECK(cond)                                                                                \
    if (!(cond)) {                                                                                 \
        std::fprintf(stderr, "child check failed: %s (line %d)\n", #cond, __LINE__);               \
        return 1;                                                                                  \
    }

// The child: one scenario in a fresh process.
int runScenario(const Scenario &s, int argc, char **argv)
{
    QApplication app(argc, argv);
    TestHost host;
    if (s.refuseSuite)
        host.suites().refuse(s.refuseSuite);
    if (s.failCall)
        host.faults().failCall(s.failCall, A_Err_GENERIC);
    QString error;
    CHECK(host.loadPlugin(qEnvironmentVariable("CELLKIT_TEST_MODULE"), &error));
    host.faults().clear();
    host.suites().allow(s.refuseSuite ? s.refuseSuite : "");
    CHECK((host.globalRefcon() != nullptr) == s.started);
    CHECK(host.hooks().size() == s.hooks);
    const auto menu = host.menu(AEGP_Menu_WINDOW);
    CHECK(menu.size() == (s.menuEntry ? 1 : 0));
    // Suites held: everything given back when the object could not be built.
    CHECK((host.suites().totalHeld() == 0) == !s.started);

    // Every hook that the host still has must be harmless now.
    host.updateMenus();
    if (!menu.isEmpty()) {
        const bool enabled = host.menu(AEGP_Menu_WINDOW).first().enabled;
        CHECK(enabled == s.started);
        host.runCommand(menu.first().command);
    }
    CHECK(host.idle(3) == (s.hooks >= 2 && s.started ? 10 : 60));
    CHECK(host.panelShown(QStringLiteral("cellKit")) == s.started);
    host.shutdown();
    return 0;
}

// The child for a process without a Qt application: loading the module creates one, in the
// "Fusion" style with the Dark AE colours at the upper end of their range.
int runWithoutApplication()
{
    QLibrary module(qEnvironmentVariable("CELLKIT_TEST_MODULE"));
    CHECK(!QCoreApplication::instance());
    CHECK(module.load());
    CHECK(qobject_cast<QApplication *>(QCoreApplication::instance()));
    CHECK(QApplication::style()->objectName().toLower() == QLatin1String("fusion"));
    const QPalette palette = QApplication::palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        CHECK(palette.color(group, QPalette::Window) == QColor(88, 88, 88));
        CHECK(palette.color(group, QPalette::WindowText) == QColor(255, 255, 255));
        CHECK(palette.color(group, QPalette::Base) == QColor(69, 69, 69));
        CHECK(palette.color(group, QPalette::Highlight) == QColor(205, 205, 205));
        CHECK(palette.color(group, QPalette::Midlight) == QColor(255, 0, 255));
    }
    return 0;
}
} // namespace

class TestShellStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scenario_data()
    {
        QTest::addColumn<QByteArray>("name");
        for (const Scenario &s : kScenarios)
            QTest::newRow(s.name) << QByteArray(s.name);
        QTest::newRow("no application") << QByteArray("no application");
    }
    void scenario()
    {
        QFETCH(QByteArray, name);
        QByteArray output;
        QVERIFY2(runSelfScenario(QStringLiteral("CELLKIT_SHELL_SCENARIO"), name, &output),
                 output.constData());
    }
};

int main(int argc, char **argv)
{
    const QByteArray scenario = qgetenv("CELLKIT_SHELL_SCENARIO");
    if (scenario == "no application")
        return runWithoutApplication();
    if (const Scenario *s = findScenario(scenario))
        return runScenario(*s, argc, argv);
    QApplication app(argc, argv);
    TestShellStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell_startup.moc"
