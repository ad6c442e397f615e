// Where the LCD is on the panel, in client pixels: its frame, the size of one dot, and the
// position of every display line and character column. The layout step fills it in; the LCD
// drawing reads it.
#pragma once

#include <cstdint>

#include "common/geometry_types.h"
#include "lcd/controller.h"

struct stLcdLayout {
    stPixelRect lcdRect{};          // the LCD's frame in client pixels
    int32_t dotWidth = 1;           // one LCD dot in pixels, at least 1 each
    int32_t dotHeight = 1;
    // Per display line: frame left + first-column offset, line top, frame left - first-column
    // offset, line bottom.
    int32_t lineRects[kLcdMaxRows][4]{};
    int32_t columnX[kLcdMaxColumns]{};  // left x of each character column
};
