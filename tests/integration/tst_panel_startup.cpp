// The look of the plug-in's Qt application: loading the module into a process without one
// creates it with the Dark AE colours at the upper end of their range and the "Fusion"
// style; a process that already has an application keeps its own palette and style. The
// module is loaded once per process, so each case runs in a child process (this executable
// started with CELLKIT_PANEL_STARTUP naming the case).
#include "HostProcess.h"

#include <QApplication>
#include <QLibrary>
#include <QProcess>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

#include <cstdio>

namespace {

#define CHECK(cond)                                                                                \
    if (!(cond)) {                                                                                 \
        std::fprintf(stderr, "child check failed: %s (line %d)\n", #cond, __LINE__);               \
        return 1;                                                                                  \
    }

int withoutApplication()
{
    QLibrary module(qEnvironmentVariable("CELLKIT_TEST_MODULE"));
    CHECK(module.load());
    CHECK(qobject_cast<QApplication *>(QCoreApplication::instance()));
    CHECK(QApplication::style()->objectName().toLower() == QLatin1String("fusion"));
    const QPalette palette = QApplication::palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        CHECK(palette.color(group, QPalette::Window) == QColor(88, 88, 88));
        CHECK(palette.color(group, QPalette::WindowText) == QColor(255, 255, 255));
        CHECK(palette.color(group, QPalette::Button) == QColor(88, 88, 88));
        CHECK(palette.color(group, QPalette::Base) == QColor(69, 69, 69));
        CHECK(palette.color(group, QPalette::Highlight) == QColor(205, 205, 205));
        CHECK(palette.color(group, QPalette::HighlightedText) == QColor(25, 25, 25));
        CHECK(palette.color(group, QPalette::Midlight) == QColor(255, 0, 255));
    }
    return 0;
}

int withApplication(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QPalette own = QApplication::palette();
    own.setColor(QPalette::Window, QColor(1, 2, 3));
    QApplication::setPalette(own);

    QLibrary module(qEnvironmentVariable("CELLKIT_TEST_MODULE"));
    CHECK(module.load());
    CHECK(QCoreApplication::instance() == &app);
    CHECK(QApplication::style()->objectName().toLower() == QLatin1String("windows"));
    CHECK(QApplication::palette() == own);
    return 0;
}

} // namespace

class TestPanelStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void look_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("no application") << QByteArray("no application");
        QTest::newRow("host application") << QByteArray("host application");
    }
    void look()
    {
        QFETCH(QByteArray, name);
        QByteArray output;
        QVERIFY2(runSelfScenario(QStringLiteral("CELLKIT_PANEL_STARTUP"), name, &output), output.constData());
    }
};

int main(int argc, char **argv)
{
    const QByteArray scenario = qgetenv("CELLKIT_PANEL_STARTUP");
    if (scenario == "no application")
        return withoutApplication();
    if (scenario == "host application")
        return withApplication(argc, argv);
    QCoreApplication app(argc, argv);
    TestPanelStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panel_startup.moc"
