// The LCD drawing hook on a window, with GDI.
//
// The core's LCD drawing (lcd/lcd_draw.h) decides which dot block gets which colour; this hook
// puts the blocks on a window. Two ways of painting give the same pixels:
//  - direct: every dot block is filled on the window's device context as it comes;
//  - buffered: the blocks of a pass are filled into an off-screen bitmap, and every run of blocks
//    that forms one rectangle (normally one character cell) is copied to the window in one step
//    when the run ends.
// The buffered way is the default: it is several times faster (see docs/performance.md).
//
// The off-screen bitmap is kept from pass to pass; ReleaseGdiLcdSurface frees it.
//
// A pass takes the window's device context (GetDC) and releases it at its end, unless a device
// context was lent for the pass (the paint handler lends the one it got from BeginPaint).
#pragma once

#include <windows.h>

#include "lcd/lcd_draw.h"

enum class LcdPaintMode { kDirect, kBuffered };

struct stGdiLcdSurface {
    HWND window;
    LcdPaintMode mode;
    HDC lentDc;  // used instead of GetDC while set; never released here

    // Working state of one pass.
    HDC dc;
    bool ownsDc;
    HDC memoryDc;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;
    int bitmapWidth, bitmapHeight, bitmapDepth;
    // On screens of 24 bits or more the bitmap is a 32-bit DIB section whose pixels are written
    // here directly (copying such a bitmap to the screen changes no colour); otherwise `bits` is
    // null and the blocks are filled with GDI into a bitmap of the screen's own format.
    uint32_t* bits;
    bool buffering;  // this pass paints into the bitmap
    // Brushes of the pass, one per colour (a pass uses two or three colours).
    static constexpr int kBrushSlots = 4;
    uint32_t brushColour[kBrushSlots];
    HBRUSH brush[kBrushSlots];
    int brushCount;
    // Buffered mode: the blocks filled since the last copy. `run` is the row of blocks being
    // extended to the right, `area` the rows below each other that already form one rectangle.
    RECT area, run;
    bool hasArea, hasRun;
};

// Prepares `surface` (zeroed or released) for `window` and points `hook` at it. The hook is
// valid while both live.
void InitGdiLcdHook(stGdiLcdSurface* surface, stLcdDrawHook* hook, HWND window, LcdPaintMode mode);
// Frees the off-screen bitmap kept between passes. The surface stays usable.
void ReleaseGdiLcdSurface(stGdiLcdSurface* surface);
