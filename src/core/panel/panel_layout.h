// Where a design's parts are on screen: the plate's size, the keys' and LEDs' pixel rectangles
// and the LCD's frame and cells, from their logical places and the display scale. The window
// and the headless panel lay a design out through these alone.
#pragma once

#include "panel/panel.h"

struct stPlateSize {
    int width;
    int height;
};

// The plate's size on screen, rounded to whole pixels. (Truncating would drop a column and a
// row of the usual 96 dpi plate, which is stored at 3780 pixels per metre, i.e. 96.01 dpi.)
stPlateSize ScaledPlateSize(const stPanel& panel);

// Every key's and LED's pixel rectangle from its logical one; a two-part object's second half
// shares the first half's rectangle.
void LayOutObjects(stPanel& panel);

// Lays out the design's current LCD type at its logical position (frame, dot size, columns and
// rows, controller geometry); a type without a position only sets the controller geometry.
// Returns 0 without a placed LCD.
int LayOutCurrentLcd(stPanel& panel);

// A design just loaded shows its LCD unlit: the text in the dot colour on the background of
// the dark backlight, at full contrast. Nothing without an LCD.
void ShowLcdUnlit(stPanel& panel);
