#include "common/rgb_text.h"

#include <cstdio>

std::string FormatRgbHex(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return text;
}

bool ParseRgbHex(const std::string& text, uint32_t* colour) {
    if (text.size() != 7 || text[0] != '#') return false;
    uint32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        rgb = rgb << 4 | static_cast<uint32_t>(digit);
    }
    *colour = (rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}
