// How nanometres of a design map to client pixels: the screen resolution and the user's scale,
// and how the front plate bitmap is stretched to the screen.
#pragma once

#include <cstdint>

constexpr int32_t kDefaultNmPerPixel = 264583;         // 96 dots per inch
constexpr uint32_t kDefaultPixelsPer10kInch = 960000;

struct stViewScale {
    float scaleDivisor = 1.0f;                  // 1.0 ("100%"), 2.0 ("50%"), 1.5 ("75%")
    float plateScaleX = 1.0f, plateScaleY = 1.0f;  // screen pixels per front plate bitmap pixel
    int32_t nmPerPixelX = kDefaultNmPerPixel, nmPerPixelY = kDefaultNmPerPixel;
    uint32_t pixelsPer10kInchX = kDefaultPixelsPer10kInch, pixelsPer10kInchY = kDefaultPixelsPer10kInch;
};
