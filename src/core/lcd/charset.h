// Character generator of the emulated LCD: two built-in character sets ('N', the default, and
// 'C') and one descender table for the 5x11 font.
//
// A set is 256 characters of 8 rows, indexed by code * 8 + row; a row is a 32-bit cell whose low
// five bits are the dots (bit 4 leftmost). Codes 0-7 are CGRAM: the controller writes user-defined
// rows straight into the selected set, and every CGRAM row is mirrored at index + 64 (codes 8-15).
#pragma once

#include <cstdint>

constexpr int kLcdCharRows = 8;
constexpr int kLcdCharSetSize = 256 * kLcdCharRows;  // cells per set

// The framed checker every CGRAM character shows until it is defined.
constexpr uint8_t kCgramPlaceholder[kLcdCharRows] = {0x1F, 0x1B, 0x15, 0x1B, 0x15, 0x1B, 0x15, 0x1F};

// Gives both sets and the descender table their built-in contents. Discards every user-defined
// character of both sets. Called by LcdReset.
void LcdBuildCharSets();

// 'C' (upper case only) selects set 'C'; every other value selects set 'N'.
void LcdSelectCharSet(char letter);

// The selected set (the controller's `charSet`), set 'N' before the first selection.
uint32_t* LcdCurrentCharSet();
// The two sets themselves, for the font table and for tests.
uint32_t* LcdCharSetN();
uint32_t* LcdCharSetC();
// Rows 8-10 of the 5x11 font at code * 8 + 0..2; rows 3-7 of an entry stay blank.
const uint32_t* LcdDescenderTable();
