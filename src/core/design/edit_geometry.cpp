#include "design/edit_geometry.h"

#include <algorithm>
#include <cstdlib>

stPixelRect OrderBand(int32_t startX, int32_t startY, int32_t endX, int32_t endY) {
    return stPixelRect{std::min(startX, endX), std::min(startY, endY), std::max(startX, endX),
                       std::max(startY, endY)};
}

int32_t LedRadius(int32_t anchorX, int32_t anchorY, int32_t x, int32_t y) {
    return std::max(std::abs(anchorX - x), std::abs(anchorY - y));
}

stPixelRect LedSquare(int32_t anchorX, int32_t anchorY, int32_t radius) {
    return stPixelRect{anchorX - radius, anchorY - radius, anchorX + radius, anchorY + radius};
}

int32_t OutlineRadius(const stPixelRect& rect) {
    return std::max((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
}
