// The picture of the font table window: all 256 characters of a character set as a 16 x 16
// table with hexadecimal row and column labels drawn in the same set's own glyphs.
//
// Every glyph shows rows 0-7 of its entry, each dot a 2 x 2 square, columns from bit 4 (left)
// to bit 0, so a glyph covers 10 x 16 pixels. The window paints this picture at the top left
// corner of its client area.
#pragma once

#include <cstdint>

constexpr int kFontTableDot = 2;
constexpr int kFontGlyphWidth = 5 * kFontTableDot;
constexpr int kFontGlyphHeight = 8 * kFontTableDot;
// Positions relative to the client area's top left corner.
constexpr int kFontRowLabelX = 20;
constexpr int kFontRowLabelY = 40;
constexpr int kFontColumnLabelX = 39;
constexpr int kFontColumnLabelY = 20;
constexpr int kFontCellX = 39;
constexpr int kFontCellY = 44;
constexpr int kFontColumnStep = 19;
constexpr int kFontRowStep = 24;
// The picture reaches to the lower right corner of character 0xFF.
constexpr int kFontTableWidth = kFontCellX + 15 * kFontColumnStep + kFontGlyphWidth;
constexpr int kFontTableHeight = kFontCellY + 15 * kFontRowStep + kFontGlyphHeight;

constexpr uint32_t kFontLitColour = 0x000000;    // black
constexpr uint32_t kFontUnlitColour = 0xFFFFFF;  // white

// Upper left corner of the glyph of `code` in the table.
inline int FontCellX(int code) { return kFontCellX + kFontColumnStep * (code % 16); }
inline int FontCellY(int code) { return kFontCellY + kFontRowStep * (code / 16); }

// Draws the picture into `pixels` (kFontTableWidth x kFontTableHeight, rows top down): first
// `background` everywhere, then the labels and the table from `charSet` (256 x 8 rows).
// Colours are stored as given (the caller picks the channel order).
void RenderFontTable(const uint32_t* charSet, uint32_t background, uint32_t lit, uint32_t unlit,
                     uint32_t* pixels);
