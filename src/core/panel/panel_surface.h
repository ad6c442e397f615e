// What the panel is painted on: the window's device context or a snapshot's pixel buffer. The
// paint order is the core's (PaintPanel); a surface only knows how to draw each part.
#pragma once

#include "design/object_model.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"

class PanelSurface {
public:
    virtual ~PanelSurface() = default;
    // The front plate's bitmap stretched to width x height pixels from the top left corner.
    virtual void StretchPlate(int width, int height) = 0;
    // The hook the LCD drawing fills its frame and cells through, or null to leave the LCD out.
    virtual const stLcdDrawHook* LcdHook() = 0;
    // One LED: a filled ellipse in its colour inside its pixel rectangle, outlined in black.
    virtual void FillLed(const stPanelObject& led) = 0;
};

enum class PanelLayers { kPlateAndLcd, kAll };

// Paints the panel bottom up: the plate at its size on screen, the LCD (frame and every cell),
// then, for kAll, the LEDs that are on, each id in turn.
void PaintPanel(stPanel& panel, PanelSurface& surface, PanelLayers layers = PanelLayers::kAll);
