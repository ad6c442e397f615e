// One LCD model: a type of the LCD type library, and the design's own LCD.
//
// The layout mirrors the 100-byte record of the 32-bit panel: three string pointers, four 8-bit
// metrics, six lengths in nanometres, the placement block and the colour block. The design file
// stores the metrics (28 bytes), the placement block (36) and the colour block (24) as they are.
#pragma once

#include <cstdint>

#include "common/geometry_types.h"

struct stLcdMetrics {
    int8_t characters;  // characters per line
    int8_t lines;       // display rows
    int8_t fontX;       // stored and saved, not used for drawing
    int8_t fontY;
    int32_t width;      // frame width, nm
    int32_t height;     // frame height, nm
    int32_t charX;      // cell width (5 dots), nm
    int32_t charY;      // cell height (8 dots), nm
    int32_t dotX;       // gap between cells, nm
    int32_t dotY;       // gap between rows, nm
};
static_assert(sizeof(stLcdMetrics) == 28, "metrics group is 28 bytes in the design file");

// Colours are 0x00BBGGRR.
struct stLcdColours {
    uint32_t background;    // LCD area and unlit dots, follows the backlight level
    uint32_t backlightOn;
    uint32_t backlightOff;
    uint32_t dot;           // lit dots, follows the contrast
    uint32_t text;          // lit dots at full contrast
    uint32_t contrast;      // 0..255
};
static_assert(sizeof(stLcdColours) == 24, "colour block is six 32-bit values");

struct stLcdType {
    char* name;       // menu text, at most 259 characters
    char* tooltip;    // at most 2599 characters
    char* font;       // first letter selects the character set ('N' default, 'C')
    stLcdMetrics metrics;
    stPlacement placement;  // id = menu command id; logicalRect.x/y = upper left corner, nm
    stLcdColours colours;
};
