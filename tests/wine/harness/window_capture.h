// A copy of a window's client area as it is on the screen, for pixel comparisons in tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00BBGGRR like COLORREF
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The window's client area as it is on the screen now.
Picture Capture(HWND window);
