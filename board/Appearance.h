#pragma once

#include <QPalette>

// The interface colours: a few built-in colour sets, each giving for every palette role a
// darker and a lighter bound, and a range between 0 and 1 that picks the colour between them.
//
// Example: "Dark AE" gives Window from (38,38,38) to (88,88,88); at range 0.5 each channel is
// 38 + 50 * 0.5 = 63, so Window is (63,63,63). Channels are truncated toward zero, so Light AE
// Window at 0.99 is 130 + 112 * 0.99 = 240.88, i.e. 240.
class Appearance
{
public:
    enum ColorSet { System = 0, DarkAE = 1, LightAE = 2, ColorTest = 3 };

    // Sets the palette's colours for all colour groups from `colorSet` at `range`; a set
    // number outside the table leaves the palette untouched. The first call captures the
    // application's palette of that moment as the "System" set.
    static void buildPalette(QPalette &palette, int colorSet, double range);

    // The palette a freshly created application gets: Dark AE at its upper bound (range 1.0,
    // which the Board's slider cannot reach).
    static QPalette startupPalette();
};
