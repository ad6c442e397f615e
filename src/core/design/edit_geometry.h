// Arithmetic of the design editor's rubber band: the rectangle of a new key and the circle of a
// new LED, whatever direction the mouse was dragged in.
#pragma once

#include <cstdint>

#include "design/object_model.h"

// The rectangle spanned by the press point and the release point, corners ordered so that
// left <= right and top <= bottom.
stPixelRect OrderBand(int32_t startX, int32_t startY, int32_t endX, int32_t endY);

// Radius of an LED circle centred on the anchor that reaches the point: the larger of the two
// distances along the axes.
int32_t LedRadius(int32_t anchorX, int32_t anchorY, int32_t x, int32_t y);

// The square of side 2 x radius centred on the anchor: the pixel rectangle of an LED.
stPixelRect LedSquare(int32_t anchorX, int32_t anchorY, int32_t radius);

// Radius of the circle that outlines an LED (or moves with it): the larger of half its width
// and half its height.
int32_t OutlineRadius(const stPixelRect& rect);
