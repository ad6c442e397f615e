// Drawing of the panel's LEDs: each LED is a filled ellipse in its pixel rectangle, in the colour
// it shows now, outlined with the default black 1-pixel pen.
#pragma once

#include <windows.h>

#include "design/object_model.h"

// One LED on the given device context.
void DrawLedOn(HDC dc, const stPanelObject* led);
// One LED at once on the window given to InstallPanelDrawing (lcd/lcd_painter.h); the
// dispatcher's LED drawing hook.
void DrawLed(const stPanelObject* led);
