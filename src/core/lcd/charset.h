// Character generator ROM of the emulated LCD: two built-in character sets ('N', the default, and
// 'C') and one descender table for the 5x11 font. The tables are constants shared by every
// controller; the user-defined characters (CGRAM) belong to each controller (controller.h).
//
// A set is 256 characters of 8 rows, indexed by code * 8 + row; a row is a 32-bit cell whose low
// five bits are the dots (bit 4 leftmost). Codes 0-15 of a ROM set hold the CGRAM placeholder,
// the picture a controller's CGRAM starts with.
#pragma once

#include <cstdint>

constexpr int kLcdCharRows = 8;
constexpr int kLcdCharSetSize = 256 * kLcdCharRows;  // cells per set
constexpr int kLcdCgramRows = 64;                    // codes 0-7, mirrored at codes 8-15

// The framed checker every CGRAM character shows until it is defined.
constexpr uint8_t kCgramPlaceholder[kLcdCharRows] = {0x1F, 0x1B, 0x15, 0x1B, 0x15, 0x1B, 0x15, 0x1F};

// Which set a letter names: 'C' (upper case only) is set 'C'; every other value is set 'N'.
enum LcdCharSetId : uint8_t { kLcdCharSetN = 0, kLcdCharSetC = 1 };
inline LcdCharSetId LcdCharSetOf(char letter) { return letter == 'C' ? kLcdCharSetC : kLcdCharSetN; }
inline char LcdCharSetName(LcdCharSetId id) { return id == kLcdCharSetC ? 'C' : 'N'; }

// The ROM sets (built from the glyph tables on first use, read-only afterwards).
const uint32_t* LcdRomCharSet(LcdCharSetId id);
inline const uint32_t* LcdCharSetN() { return LcdRomCharSet(kLcdCharSetN); }
inline const uint32_t* LcdCharSetC() { return LcdRomCharSet(kLcdCharSetC); }
// Rows 8-10 of the 5x11 font at code * 8 + 0..2; rows 3-7 of an entry stay blank.
const uint32_t* LcdDescenderTable();
