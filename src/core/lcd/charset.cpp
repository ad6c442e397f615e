// Builds the ROM character sets from the glyph tables, once.
//
// The build order matters because later steps copy earlier ones: glyphs and descenders first,
// then the CGRAM placeholder at code 0, then code 0's rows to codes 0-15 and the space's rows to
// 0x80-0x9F.
#include "lcd/charset.h"

#include <cstring>

#include "lcd/charset_data.h"

namespace {
struct stRomTables {
    uint32_t sets[2][kLcdCharSetSize];
    uint32_t descenders[kLcdCharSetSize];
};

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

stRomTables BuildRom() {
    stRomTables rom;
    std::memset(&rom, 0, sizeof rom);
    uint32_t* n = rom.sets[kLcdCharSetN];
    uint32_t* c = rom.sets[kLcdCharSetC];
    PutGlyphs(n, kGlyphsN, kGlyphsNCount);
    std::memcpy(c, n, sizeof rom.sets[0]);
    PutGlyphs(c, kGlyphsC, kGlyphsCCount);
    for (int i = 0; i < kDescendersCount; ++i)
        for (int row = 0; row < 3; ++row)
            rom.descenders[kDescenders[i].code * kLcdCharRows + row] = kDescenders[i].rows[row];
    FinishSet(n);
    FinishSet(c);
    return rom;
}

// Built on first use (thread-safe static initialisation), never written afterwards.
const stRomTables& Rom() {
    static const stRomTables rom = BuildRom();
    return rom;
}
}  // namespace

const uint32_t* LcdRomCharSet(LcdCharSetId id) { return Rom().sets[id == kLcdCharSetC ? 1 : 0]; }
const uint32_t* LcdDescenderTable() { return Rom().descenders; }
