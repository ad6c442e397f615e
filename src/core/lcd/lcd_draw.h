// Drawing of the emulated LCD, as an algorithm over a drawing hook.
//
// The core decides which dot block gets which colour; the hook puts it on a surface. The Win32
// layer implements the hook with GDI on the main window's device context, the tests with a pixel
// buffer. The frame, dot size and column and row positions come from the drawing's layout record
// (lcd/lcd_layout.h), which the layout step fills in; colours from the design's current LCD type.
#pragma once

#include <cstdint>

#include "common/geometry_types.h"
#include "common/platform.h"
#include "lcd/controller.h"
#include "lcd/lcd_layout.h"
#include "lcd/lcd_type.h"

struct stLcdDrawHook {
    void* context;
    // Optional. Called before a pass; returning 0 (no surface) skips the pass.
    int (*begin)(void* context);
    // Optional. Called after a pass that began.
    void (*end)(void* context);
    // Fill the half-open rectangle with a colour 0x00BBGGRR.
    void (*fillRect)(void* context, const stPixelRect& rect, uint32_t colour);
    // Fill the rectangle as a rounded rectangle with the given corner ellipse.
    void (*roundRect)(void* context, const stPixelRect& rect, int32_t ellipseWidth, int32_t ellipseHeight,
                      uint32_t colour);
};

// The drawing's own state, one per panel: the hook LcdSetContrast, LcdSetBacklight and
// LcdBlinkTick draw through (the main window's surface) and the design's LCD, the type it uses
// now (a library type once placed, or the design file's own record; not owned here). Without a
// type nothing of the LCD is drawn.
constexpr int kLcdCellCount = kLcdMaxRows * kLcdMaxColumns;
constexpr uint16_t kCellRedraw = 0xFFFF;
constexpr uint16_t kCellCursor = 0x8000;

struct stLcdDrawState {
    PanelPlatform* platform = &NoPlatform();  // its LcdSurface is where the LCD draws itself; never null
    stLcdType* currentType = nullptr;
    stLcdLayout layout;  // where the LCD and its cells are, in client pixels
    // Code last drawn per cell (row * 40 + column); 0xFFFF: draw anew; bit 15: showed the cursor.
    uint16_t cellCache[kLcdCellCount];

    stLcdDrawState() {
        for (uint16_t& entry : cellCache) entry = kCellRedraw;
    }
};

// Every cell is drawn anew by the next LcdDrawCells.
void LcdInvalidateCells(stLcdDrawState& draw);

// The surface the LCD draws itself on now (the platform's LcdSurface), or null.
inline const stLcdDrawHook* LcdDrawHook(const stLcdDrawState& draw) { return draw.platform->LcdSurface(); }

inline void SetCurrentLcdType(stLcdDrawState& draw, stLcdType* type) { draw.currentType = type; }
inline stLcdType* CurrentLcdType(const stLcdDrawState& draw) { return draw.currentType; }

// base + (target - base) * amount / 255 per channel, signed difference, integer division.
uint32_t LcdBlendColour(uint32_t base, uint32_t target, int amount);

// Stores the contrast (0-255) and recomputes the dot colour from text and background colours;
// then LcdDrawBackground through the installed hook.
void LcdSetContrast(stLcdDrawState& draw, uint8_t level);
// Recomputes the background colour from the backlight colours, then LcdSetContrast with the stored
// contrast, then LcdDrawBackground.
void LcdSetBacklight(stLcdDrawState& draw, uint8_t level);
// The 500 ms blink timer: toggles the block phase while blinking and redraws the cells.
void LcdBlinkTick(stLcdDrawState& draw, LcdController& lcd);

// Invalidates every cell and fills the LCD frame as a rounded rectangle (corner ellipse 5 x 5)
// with the background colour. Nothing without a hook or without an LCD.
void LcdDrawBackground(stLcdDrawState& draw, const stLcdDrawHook* hook);
// Draws every visible cell that changed (all of them after LcdInvalidateCells or when the
// controller asks for it), with the cursor underline and the blink block, under the controller
// lock.
void LcdDrawCells(stLcdDrawState& draw, LcdController& lcd, const stLcdDrawHook* hook);
// One 5 x 8 dot block at (x, y); `rows` holds 8 rows (3 with lowerPart: rows 3-7 are unlit).
// Every dot is unlit while the display is off.
void LcdDrawGlyph(const stLcdDrawState& draw, const stLcdDrawHook* hook, bool displayOn, int32_t x, int32_t y,
                  const uint32_t* rows, bool lowerPart);
