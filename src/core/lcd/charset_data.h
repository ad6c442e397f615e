// Raw glyph tables of the character generator (see charset_data.cpp); charset.cpp builds the
// working sets from them.
#pragma once

#include <cstdint>

struct stGlyphRows {
    uint8_t code;
    uint8_t rows[8];  // top to bottom, bit 4 = leftmost dot
};

struct stDescenderRows {
    uint8_t code;
    uint8_t rows[3];  // rows 8, 9, 10 of the 5x11 glyph
};

extern const stGlyphRows kGlyphsN[];
extern const int kGlyphsNCount;
extern const stGlyphRows kGlyphsC[];
extern const int kGlyphsCCount;
extern const stDescenderRows kDescenders[];
extern const int kDescendersCount;
