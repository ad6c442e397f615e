// Set 'N' is the character set of the HD44780U with ROM code A00: ASCII with the yen sign and
// two arrows, half-width katakana at 0xA1-0xDF (the same order as U+FF61-U+FF9F) and Greek
// letters and symbols above. Set 'C' shares the ASCII part except a few codes; its Cyrillic
// upper half is given as U+FFFD for now.
#include "headless/lcd_text.h"

namespace {
constexpr uint32_t kUnknown = 0xFFFD;

// 0xE0-0xFF of set 'N'.
constexpr uint32_t kUpperN[32] = {
    0x03B1, 0x00E4, 0x03B2, 0x03B5, 0x03BC, 0x03C3, 0x03C1, 0x0067,  // E0-E7
    0x221A, kUnknown, 0x006A, kUnknown, 0x00A2, kUnknown, 0x00F1, 0x00F6,  // E8-EF
    0x0070, 0x0071, 0x03B8, 0x221E, 0x03A9, 0x00FC, 0x03A3, 0x03C0,  // F0-F7
    kUnknown, 0x0079, 0x5343, 0x4E07, 0x5186, 0x00F7, 0x0020, 0x2588,  // F8-FF
};

uint32_t CodePoint(char set, uint8_t code) {
    if (code < 0x10) return kUnknown;
    if (code < 0x20 || (code >= 0x80 && code < 0xA0)) return 0x20;
    if (set == 'C' && (code == 0x5C || code == 0x60 || (code >= 0x7B && code < 0x80) || code >= 0xA0)) return kUnknown;
    if (code < 0x80) {
        if (code == 0x5C) return 0x00A5;
        if (code == 0x7E) return 0x2192;
        if (code == 0x7F) return 0x2190;
        return code;
    }
    if (code == 0xA0) return 0x20;
    if (code < 0xE0) return 0xFF61 + (code - 0xA1);
    return kUpperN[code - 0xE0];
}
}  // namespace

int LcdCodeToUtf8(char set, uint8_t code, char* out) {
    const uint32_t cp = CodePoint(set, code);
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
}
