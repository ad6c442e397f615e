// Builds the character sets from the glyph tables and keeps track of the selected set.
//
// The build order matters because later steps copy earlier ones: glyphs and descenders first,
// then the CGRAM placeholder at code 0, then code 0's rows to codes 0-15 and the space's rows to
// 0x80-0x9F.
#include "lcd/charset.h"

#include <cstring>

#include "lcd/charset_data.h"
#include "lcd/controller.h"

namespace {
uint32_t g_setN[kLcdCharSetSize];
uint32_t g_setC[kLcdCharSetSize];
uint32_t g_descenders[kLcdCharSetSize];

void PutGlyphs(uint32_t* set, const stGlyphRows* glyphs, int count) {
    for (int i = 0; i < count; ++i)
        for (int row = 0; row < kLcdCharRows; ++row)
            set[glyphs[i].code * kLcdCharRows + row] = glyphs[i].rows[row];
}

void FinishSet(uint32_t* set) {
    for (int row = 0; row < kLcdCharRows; ++row) set[row] = kCgramPlaceholder[row];
    for (int code = 0; code < 16; ++code) {
        for (int row = 0; row < kLcdCharRows; ++row) {
            set[code * kLcdCharRows + row] = set[row];
            set[(0x80 + code) * kLcdCharRows + row] = set[0x20 * kLcdCharRows + row];
            set[(0x90 + code) * kLcdCharRows + row] = set[0x20 * kLcdCharRows + row];
        }
    }
}
}  // namespace

void LcdBuildCharSets() {
    std::memset(g_setN, 0, sizeof g_setN);
    std::memset(g_descenders, 0, sizeof g_descenders);
    PutGlyphs(g_setN, kGlyphsN, kGlyphsNCount);
    std::memcpy(g_setC, g_setN, sizeof g_setC);
    PutGlyphs(g_setC, kGlyphsC, kGlyphsCCount);
    for (int i = 0; i < kDescendersCount; ++i)
        for (int row = 0; row < 3; ++row)
            g_descenders[kDescenders[i].code * kLcdCharRows + row] = kDescenders[i].rows[row];
    FinishSet(g_setN);
    FinishSet(g_setC);
}

void LcdSelectCharSet(char letter) { Lcd().charSet = (letter == 'C') ? g_setC : g_setN; }

uint32_t* LcdCurrentCharSet() {
    uint32_t* set = Lcd().charSet;
    return set ? set : g_setN;
}

uint32_t* LcdCharSetN() { return g_setN; }
uint32_t* LcdCharSetC() { return g_setC; }
const uint32_t* LcdDescenderTable() { return g_descenders; }
