// The interface colours chosen on the Board: colour sets, the range between their bounds
// (truncated toward zero), the unknown set "5", and "System" giving back the palette the
// table captured.
#include "board/Appearance.h"
#include "board/ReportWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(QPalette::ColorRole)

namespace {
const QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// The same colour in every colour group, or an invalid colour when the groups differ.
QColor colorInAllGroups(QPalette::ColorRole role)
{
    const QPalette palette = QApplication::palette();
    const QColor color = palette.color(QPalette::Active, role);
    for (QPalette::ColorGroup group : kGroups)
        if (palette.color(group, role) != color)
            return QColor();
    return color;
}
} // namespace

class TestBoardAppearance : public QObject
{
    Q_OBJECT

    QPalette m_captured; // the application's palette before the table was built
    ReportWidget *m_board = nullptr;

    void choose(int colorSet, int range)
    {
        m_board->cbColorSet->setCurrentIndex(colorSet);
        m_board->slColorRange->setValue(range);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_captured = QApplication::palette();
        // What the plug-in does to an application it creates: the table is built here, so
        // "System" holds the palette captured above.
        QApplication::setPalette(Appearance::startupPalette());
        m_board = new ReportWidget;
    }
    void cleanupTestCase() { delete m_board; }

    // Each colour lies between its set's bounds, truncated toward zero; buttons take the
    // window colour and alternate rows the base colour; the fixed colours never change.
    void colourAtRange_data()
    {
        QTest::addColumn<int>("colorSet");
        QTest::addColumn<int>("range");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::addColumn<QColor>("expected");
        const auto row = [](const char *name, int set, int range, QPalette::ColorRole role,
                            QColor colour) {
            QTest::newRow(name) << set << range << role << colour;
        };
        row("dark 0 text", 1, 0, QPalette::Text, QColor(165, 165, 165));
        row("dark 50 window", 1, 50, QPalette::Window, QColor(63, 63, 63));
        row("dark 50 button as window", 1, 50, QPalette::Button, QColor(63, 63, 63));
        row("dark 50 alternate as base", 1, 50, QPalette::AlternateBase, QColor(41, 41, 41));
        // 130 + 112 * 0.99 = 240.88, 232 + 23 * 0.99 = 254.77
        row("light 99 window", 2, 99, QPalette::Window, QColor(240, 240, 240));
        row("light 99 highlighted", 2, 99, QPalette::HighlightedText, QColor(254, 254, 254));
        row("test set base", 3, 30, QPalette::Base, QColor(255, 0, 0));
        row("fixed link colour", 2, 20, QPalette::Link, QColor(255, 0, 0));
        row("fixed tool tip", 0, 20, QPalette::ToolTipBase, QColor(0, 255, 255));
    }
    void colourAtRange()
    {
        QFETCH(int, colorSet);
        QFETCH(int, range);
        QFETCH(QPalette::ColorRole, role);
        QFETCH(QColor, expected);
        choose(colorSet, range);
        QCOMPARE(colorInAllGroups(role), expected);
    }

    void systemRestoresCapturedPalette()
    {
        choose(1, 70);
        choose(0, 70);
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText, QPalette::Base,
                                         QPalette::Text, QPalette::Highlight, QPalette::Shadow})
            QCOMPARE(colorInAllGroups(role).rgba(),
                     m_captured.color(QPalette::Active, role).rgba());
        QCOMPARE(colorInAllGroups(QPalette::Button), QColor(216, 216, 216));
    }
};

QTEST_MAIN(TestBoardAppearance)
#include "tst_board_appearance.moc"
