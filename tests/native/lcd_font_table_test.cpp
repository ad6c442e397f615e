// The font table picture: glyph positions, dot size, labels in the set's own glyphs.
#include <gtest/gtest.h>

#include <vector>

#include "lcd/charset.h"
#include "lcd/font_table.h"

namespace {

constexpr uint32_t kBack = 0x123456;

struct FontTable : ::testing::Test {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kFontTableWidth * kFontTableHeight);
    void Render(const uint32_t* set) { RenderFontTable(set, kBack, kFontLitColour, kFontUnlitColour, pixels.data()); }
    uint32_t At(int x, int y) const { return pixels[y * kFontTableWidth + x]; }
    // The glyph whose upper left corner is (x, y), read back as rows of five dots; -1 for a
    // block that is not made of 2 x 2 squares.
    std::vector<int> GlyphAt(int x, int y) const {
        std::vector<int> rows;
        for (int r = 0; r < 8; ++r) {
            int dots = 0;
            for (int c = 0; c < 5; ++c) {
                const uint32_t p = At(x + 2 * c, y + 2 * r);
                for (int d = 0; d < 4; ++d)
                    if (At(x + 2 * c + (d & 1), y + 2 * r + (d >> 1)) != p) return {-1};
                if (p == kFontLitColour) dots |= 0x10 >> c;
                else if (p != kFontUnlitColour) return {-1};
            }
            rows.push_back(dots);
        }
        return rows;
    }
    static std::vector<int> Rows(const uint32_t* set, int code) {
        std::vector<int> rows;
        for (int r = 0; r < 8; ++r) rows.push_back(static_cast<int>(set[code * 8 + r] & 0x1F));
        return rows;
    }
};

TEST_F(FontTable, EveryCodeSitsInItsCellWithBackgroundBetween) {
    const uint32_t* set = LcdCharSetN();
    Render(set);
    for (int code : {0x00, 0x0F, 0x41, 0x7E, 0xA5, 0xFF})
        EXPECT_EQ(Rows(set, code), GlyphAt(FontCellX(code), FontCellY(code))) << code;
    EXPECT_EQ(Rows(set, 'A'), GlyphAt(kFontRowLabelX, kFontRowLabelY + 24 * 10));
    EXPECT_EQ(Rows(set, '7'), GlyphAt(kFontColumnLabelX + 19 * 7, kFontColumnLabelY));
    EXPECT_EQ(kBack, At(FontCellX(0) + 10, FontCellY(0)));       // gap right of a glyph
    EXPECT_EQ(kBack, At(FontCellX(0), FontCellY(0) + 16));       // gap below it
    EXPECT_EQ(kBack, At(kFontTableWidth - 1, 0));
}

TEST_F(FontTable, LabelsUseTheSetShown) {
    const uint32_t* c = LcdCharSetC();
    Render(c);
    EXPECT_EQ(Rows(c, 'F'), GlyphAt(kFontColumnLabelX + 19 * 15, kFontColumnLabelY));
    EXPECT_EQ(Rows(c, '0'), GlyphAt(kFontRowLabelX, kFontRowLabelY));
}

}  // namespace
