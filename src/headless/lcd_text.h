// LCD character codes as Unicode text, for tests that assert what the LCD shows.
#pragma once

#include <cstdint>

// Writes the UTF-8 form of `code` in character set 'N' or 'C' to `out` (room for 4 bytes) and
// returns its length. Codes 0-15 (user-defined characters) and glyphs without a Unicode
// equivalent give U+FFFD; blank codes give a space.
int LcdCodeToUtf8(char set, uint8_t code, char* out);
