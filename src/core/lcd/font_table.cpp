// Rendering of the font table picture. See font_table.h.
#include "lcd/font_table.h"

#include "lcd/charset.h"

namespace {
void DrawGlyph(const uint32_t* charSet, int code, int left, int top, uint32_t lit, uint32_t unlit,
               uint32_t* pixels) {
    for (int row = 0; row < kLcdCharRows; ++row) {
        const uint32_t dots = charSet[code * kLcdCharRows + row];
        for (int column = 0; column < 5; ++column) {
            const uint32_t colour = (dots & (0x10u >> column)) ? lit : unlit;
            const int x = left + column * kFontTableDot;
            const int y = top + row * kFontTableDot;
            for (int dy = 0; dy < kFontTableDot; ++dy)
                for (int dx = 0; dx < kFontTableDot; ++dx) pixels[(y + dy) * kFontTableWidth + x + dx] = colour;
        }
    }
}

// Code of the label glyph for the digit k: '0'-'9', then 'A'-'F'.
int LabelCode(int k) { return k < 10 ? '0' + k : 'A' + k - 10; }
}  // namespace

void RenderFontTable(const uint32_t* charSet, uint32_t background, uint32_t lit, uint32_t unlit,
                     uint32_t* pixels) {
    for (int i = 0; i < kFontTableWidth * kFontTableHeight; ++i) pixels[i] = background;
    for (int k = 0; k < 16; ++k) {
        DrawGlyph(charSet, LabelCode(k), kFontRowLabelX, kFontRowLabelY + kFontRowStep * k, lit, unlit, pixels);
        DrawGlyph(charSet, LabelCode(k), kFontColumnLabelX + kFontColumnStep * k, kFontColumnLabelY, lit, unlit,
                  pixels);
    }
    for (int code = 0; code < 256; ++code)
        DrawGlyph(charSet, code, FontCellX(code), FontCellY(code), lit, unlit, pixels);
}
