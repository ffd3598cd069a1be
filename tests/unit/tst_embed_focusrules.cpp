// Focus and modality rules of the embedded panel over recorded window operations: what the
// Win32 side does to the host's container, checked without Win32.

#include "host/embed/PanelFocusRules.h"

#include <QtTest>

#include <set>

namespace {

// Windows are small integers cast to handles; 1 is the container.
PanelFocusRules::Window win(quintptr id)
{
    return reinterpret_cast<PanelFocusRules::Window>(id);
}

class RecordedWindows : public PanelFocusRules::Windows
{
public:
    Window focusedWindow() const override { return win(focused); }
    bool isLiveWindow(Window w) const override
    {
        return !destroyed.count(reinterpret_cast<quintptr>(w));
    }
    void giveFocus(Window w) override { log << QStringLiteral("focus %1").arg(id(w)); }
    void setWindowEnabled(Window w, bool on) override
    {
        log << QStringLiteral("%1 %2").arg(on ? "enable" : "disable").arg(id(w));
    }
    void activateWindow(Window w) override { log << QStringLiteral("activate %1").arg(id(w)); }
    void bringWindowToTop(Window w) override { log << QStringLiteral("top %1").arg(id(w)); }

    static quintptr id(Window w) { return reinterpret_cast<quintptr>(w); }

    quintptr focused = 0;
    std::set<quintptr> destroyed;
    QStringList log;
};

} // namespace

class TestEmbedFocusRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Steps: "focus N" (window N holds the focus), "destroy N", or a rule of the panel.
    void sequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("modal dialog: enable before the focus returns")
            << QStringList{"focus 7", "modal", "focus 9", "hidden"}
            << QStringList{"disable 1", "enable 1", "focus 7"};
        QTest::newRow("second modal dialog does not disable twice")
            << QStringList{"focus 7", "modal", "modal", "hidden", "hidden"}
            << QStringList{"disable 1", "enable 1", "focus 7", "focus 1"};
        QTest::newRow("non-modal dialog leaves the container enabled")
            << QStringList{"focus 7", "dialog", "hidden"} << QStringList{"focus 7"};
        QTest::newRow("remembered window destroyed: focus to the container")
            << QStringList{"focus 7", "dialog", "destroy 7", "hidden"} << QStringList{"focus 1"};
        // On Windows the panel hides for its dialog and the host's next paint shows it again.
        QTest::newRow("panel shown again during the dialog keeps the window to return to")
            << QStringList{"focus 5", "panel", "focus 7", "modal", "focus 9", "panel", "hidden"}
            << QStringList{"disable 1", "enable 1", "focus 7"};
        QTest::newRow("modal dialog removed without hiding")
            << QStringList{"modal", "removed", "removed"} << QStringList{"disable 1", "enable 1"};
    }

    void sequences()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        RecordedWindows windows;
        PanelFocusRules rules(win(1), windows);
        for (const QString &step : steps) {
            const QStringList words = step.split(' ');
            if (words[0] == "focus")
                windows.focused = words[1].toUInt();
            else if (words[0] == "destroy")
                windows.destroyed.insert(words[1].toUInt());
            else if (step == "panel")
                rules.panelShown();
            else if (step == "modal" || step == "dialog")
                rules.dialogShown(step == "modal");
            else if (step == "hidden")
                rules.dialogHidden();
            else if (step == "removed")
                rules.childRemoved();
        }
        QCOMPARE(windows.log, expected);
    }
};

QTEST_GUILESS_MAIN(TestEmbedFocusRules)
#include "tst_embed_focusrules.moc"
