#include "board/Appearance.h"

#include <QColor>
#include <QGuiApplication>
#include <QVector>

#include <array>

namespace {
struct ColorRange
{
    QColor from;
    QColor to;

    QColor at(double t) const
    {
        // Truncation toward zero, as the int conversion does.
        const auto channel = [t](int a, int b) { return int(a + (b - a) * t); };
        return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                      channel(from.blue(), to.blue()), 255);
    }
};

ColorRange fixed(int r, int g, int b)
{
    return {QColor(r, g, b), QColor(r, g, b)};
}

ColorRange span(int r1, int g1, int b1, int r2, int g2, int b2)
{
    return {QColor(r1, g1, b1), QColor(r2, g2, b2)};
}

// The roles in the order the table lists them; the links last, so that a help link stays
// readable on every set ("Need Help ?" on the dark panel).
constexpr std::array<QPalette::ColorRole, 15> kRoles = {
    QPalette::Window,    QPalette::WindowText,    QPalette::Button, QPalette::ButtonText,
    QPalette::Text,      QPalette::Light,         QPalette::Base,   QPalette::AlternateBase,
    QPalette::Highlight, QPalette::HighlightedText, QPalette::Mid,  QPalette::Shadow,
    QPalette::BrightText, QPalette::Link,         QPalette::LinkVisited};

enum RoleIndex {
    Window, WindowText, Button, ButtonText, Text, Light, Base, AlternateBase, Highlight,
    HighlightedText, Mid, Shadow, BrightText, Link, LinkVisited
};

using ColorSetEntry = std::array<ColorRange, kRoles.size()>;

ColorSetEntry systemSet()
{
    const QPalette current = QGuiApplication::palette();
    ColorSetEntry set;
    for (std::size_t i = 0; i < kRoles.size(); ++i) {
        const QColor c = current.color(kRoles[i]);
        set[i] = {c, c};
    }
    set[Button] = fixed(216, 216, 216);
    return set;
}

ColorSetEntry darkSet()
{
    ColorSetEntry set;
    set[Window] = span(38, 38, 38, 88, 88, 88);
    set[WindowText] = span(165, 165, 165, 255, 255, 255);
    set[Button] = set[Window];
    set[ButtonText] = set[WindowText];
    set[Text] = set[WindowText];
    set[Light] = fixed(210, 154, 0);
    set[Base] = span(13, 13, 13, 69, 69, 69);
    set[AlternateBase] = set[Base];
    set[Highlight] = span(158, 158, 158, 205, 205, 205);
    set[HighlightedText] = fixed(25, 25, 25);
    set[Mid] = set[Window];
    set[Shadow] = fixed(0, 0, 0);
    set[BrightText] = fixed(180, 135, 30);
    set[Link] = fixed(140, 200, 255);
    set[LinkVisited] = fixed(210, 170, 255);
    return set;
}

ColorSetEntry lightSet()
{
    ColorSetEntry set;
    set[Window] = span(130, 130, 130, 242, 242, 242);
    set[WindowText] = span(0, 0, 0, 75, 75, 75);
    set[Button] = set[Window];
    set[ButtonText] = set[WindowText];
    set[Text] = set[WindowText];
    set[Light] = fixed(210, 154, 0);
    set[Base] = span(104, 104, 104, 203, 203, 203);
    set[AlternateBase] = set[Base];
    set[Highlight] = span(75, 75, 75, 140, 140, 140);
    set[HighlightedText] = span(232, 232, 232, 255, 255, 255);
    set[Mid] = set[Window];
    set[Shadow] = fixed(0, 0, 0);
    set[BrightText] = span(28, 52, 96, 40, 135, 220);
    set[Link] = fixed(0, 40, 140);
    set[LinkVisited] = fixed(90, 0, 120);
    return set;
}

ColorSetEntry testSet()
{
    ColorSetEntry set;
    set[Window] = fixed(0, 255, 128);
    set[WindowText] = fixed(255, 128, 0);
    set[Button] = fixed(0, 255, 0);
    set[ButtonText] = fixed(25, 128, 200);
    set[Text] = fixed(255, 28, 70);
    set[Light] = fixed(210, 0, 0);
    set[Base] = fixed(255, 0, 0);
    set[AlternateBase] = fixed(127, 128, 30);
    set[Highlight] = fixed(75, 0, 140);
    set[HighlightedText] = fixed(232, 0, 255);
    set[Mid] = fixed(100, 100, 190);
    set[Shadow] = fixed(0, 34, 200);
    set[BrightText] = fixed(28, 52, 96);
    set[Link] = fixed(255, 0, 0);
    set[LinkVisited] = fixed(0, 255, 0);
    return set;
}

// Built once, on first use; the "System" entries keep the palette of that moment for good.
const QVector<ColorSetEntry> &colorSets()
{
    static const QVector<ColorSetEntry> sets = {systemSet(), darkSet(), lightSet(), testSet()};
    return sets;
}

void setForAllGroups(QPalette &palette, QPalette::ColorRole role, const QColor &color)
{
    palette.setBrush(QPalette::All, role, QBrush(color, Qt::SolidPattern));
}
} // namespace

void Appearance::buildPalette(QPalette &palette, int colorSet, double range)
{
    const QVector<ColorSetEntry> &sets = colorSets();
    if (colorSet < 0 || colorSet >= sets.size())
        return;

    const ColorSetEntry &set = sets.at(colorSet);
    for (std::size_t i = 0; i < kRoles.size(); ++i)
        setForAllGroups(palette, kRoles[i], set[i].at(range));

    // Roles the sets leave alone get loud colours, so a widget that uses one stands out.
    setForAllGroups(palette, QPalette::Midlight, QColor(255, 0, 255));
    setForAllGroups(palette, QPalette::Dark, QColor(128, 0, 128));
    setForAllGroups(palette, QPalette::NoRole, QColor(0, 0, 255));
    setForAllGroups(palette, QPalette::ToolTipBase, QColor(0, 255, 255));
    setForAllGroups(palette, QPalette::ToolTipText, QColor(255, 255, 0));
}

QPalette Appearance::startupPalette()
{
    QPalette palette = QGuiApplication::palette();
    buildPalette(palette, DarkAE, 1.0);
    return palette;
}
