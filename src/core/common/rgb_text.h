// Colours as people write them: "#RRGGBB", red first as on the web and in paint programs.
//
// The panel keeps colours as 32-bit values with red in bits 0-7, green in 8-15 and blue in 16-23
// (0x00BBGGRR); every tool reads and writes the "#RRGGBB" form and converts here.
#pragma once

#include <cstdint>
#include <string>

// "#RRGGBB" of the low 24 bits, upper-case digits.
std::string FormatRgbHex(uint32_t colour);
// Exactly '#' and six hexadecimal digits (either case); anything else is refused.
bool ParseRgbHex(const std::string& text, uint32_t* colour);
