// Rectangles in pixels and in the design's logical units, and the placement block that panel
// objects and LCD types share. Plain records, no state; the design and the LCD both use them.
#pragma once

#include <cstdint>

struct stPixelRect {
    int32_t left, top, right, bottom;
};

struct stLogicalRect {
    int32_t x, y, width, height;
};

// id + pixelRect + logicalRect: the 36-byte placement block shared with the LCD type record.
struct stPlacement {
    int32_t id;
    stPixelRect pixelRect;
    stLogicalRect logicalRect;
};
static_assert(sizeof(stPlacement) == 36, "placement block is nine 32-bit fields");

// Half-open hit test: left <= x < right and top <= y < bottom.
inline bool RectContains(const stPixelRect& r, int32_t x, int32_t y) {
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}
