// Character generator: whole-table checksums against values computed once from the published
// glyph rows, spot checks of single glyphs, the CGRAM placeholder and mirrors, set selection.
#include <gtest/gtest.h>

#include <cstdint>

#include "lcd/charset.h"
#include "lcd/controller.h"

namespace {
// FNV-1a over every 32-bit cell, low byte first.
uint32_t Checksum(const uint32_t* table) {
    uint32_t h = 0x811C9DC5u;
    for (int i = 0; i < kLcdCharSetSize; ++i)
        for (int k = 0; k < 4; ++k) {
            h ^= (table[i] >> (8 * k)) & 0xFFu;
            h *= 0x01000193u;
        }
    return h;
}

// Rows 0-7 of a character as one 64-bit value, row 0 in the top byte, to compare with the
// published notation "code rows" (two hex digits a row).
uint64_t Rows(const uint32_t* set, int code) {
    uint64_t v = 0;
    for (int r = 0; r < 8; ++r) v = (v << 8) | (set[code * 8 + r] & 0xFF);
    return v;
}

class CharSetTest : public ::testing::Test {
protected:
    void SetUp() override { LcdReset(lcd); }
    LcdController lcd;
};
}  // namespace

TEST_F(CharSetTest, WholeTablesMatchThePublishedRows) {
    EXPECT_EQ(Checksum(LcdCharSetN()), 0x3A526E37u);
    EXPECT_EQ(Checksum(LcdCharSetC()), 0xAF597BEBu);
    EXPECT_EQ(Checksum(LcdDescenderTable()), 0xC5C3F747u);
}

TEST_F(CharSetTest, SpotChecksOfSingleGlyphs) {
    const uint32_t* n = LcdCharSetN();
    const uint32_t* c = LcdCharSetC();
    EXPECT_EQ(Rows(n, 'A'), 0x0E11111F11111100ull);
    EXPECT_EQ(Rows(n, 'g'), 0x000F11110F010E00ull);
    EXPECT_EQ(Rows(n, 0x5C), 0x110A1F041F040400ull);  // yen sign
    EXPECT_EQ(Rows(n, 0x7E), 0x0004021F02040000ull);
    EXPECT_EQ(Rows(n, 0xB1), 0x1F01050604040800ull);
    EXPECT_EQ(Rows(n, 0xE7), 0x00000F1111110F01ull);
    EXPECT_EQ(Rows(n, 0xFF), 0x1F1F1F1F1F1F1F1Full);
    EXPECT_EQ(Rows(n, 0xA0), 0ull);
    EXPECT_EQ(Rows(c, 0x5C), 0x00040E14150E0400ull);
    EXPECT_EQ(Rows(c, 0x7F), 0x00070E1C111E0000ull);
    EXPECT_EQ(Rows(c, 0xA0), 0x1F11101E11111E00ull);
    EXPECT_EQ(Rows(c, 0xFE), 0x0F15150F05050500ull);
    EXPECT_EQ(Rows(c, 0xFF), 0x1F1F1F1F1F1F1F1Full);  // not redefined: the block of set 'N'
    EXPECT_EQ(Rows(c, 'A'), Rows(n, 'A'));
    const uint32_t* d = LcdDescenderTable();
    EXPECT_EQ(d[0xE7 * 8 + 0], 0x01u);
    EXPECT_EQ(d[0xE7 * 8 + 2], 0x0Eu);
    EXPECT_EQ(d[0xEA * 8 + 1], 0x12u);
    EXPECT_EQ(d['A' * 8 + 0], 0u);
}

TEST_F(CharSetTest, PlaceholderBlanksAndCopiesOfTheSpace) {
    for (const uint32_t* set : {LcdCharSetN(), LcdCharSetC()}) {
        EXPECT_EQ(Rows(set, 0x05), 0x1F1B151B151B151Full);
        EXPECT_EQ(Rows(set, 0x0F), 0x1F1B151B151B151Full);
        EXPECT_EQ(Rows(set, 0x15), 0ull);
        EXPECT_EQ(Rows(set, 0x80), Rows(set, 0x20));
        EXPECT_EQ(Rows(set, 0x9F), Rows(set, 0x20));
    }
}

TEST_F(CharSetTest, SelectionAndUserCharactersPerSet) {
    LcdSelectCharSet(lcd, 'C');
    EXPECT_EQ(LcdSelectedCharSet(lcd), 'C');
    LcdExecute(lcd, kLcdInstruction, 0x40);  // CGRAM character 0, row 0
    uint8_t row = 0x0A;
    LcdWriteData(lcd, &row, 1);
    EXPECT_EQ(LcdGlyphRows(lcd, 0)[0], 0x0Au);
    EXPECT_EQ(LcdGlyphRows(lcd, 8)[0], 0x0Au);  // mirrored to character 8
    LcdSelectCharSet(lcd, 'N');
    EXPECT_EQ(Rows(LcdGlyphRows(lcd, 0), 0), 0x1F1B151B151B151Full);
    LcdSelectCharSet(lcd, 'C');
    EXPECT_EQ(LcdGlyphRows(lcd, 0)[0], 0x0Au);
    uint32_t whole[kLcdCharSetSize];
    LcdComposeCharSet(lcd, whole);
    EXPECT_EQ(whole[64], 0x0Au);
    EXPECT_EQ(Rows(whole, 'A'), Rows(LcdCharSetC(), 'A'));
    LcdSelectCharSet(lcd, 'c');
    EXPECT_EQ(LcdSelectedCharSet(lcd), 'N');
    // A new reset fills both CGRAM banks again and drops the user character.
    LcdReset(lcd);
    EXPECT_EQ(lcd.cgram[kLcdCharSetC][0], 0x1Fu);
    EXPECT_EQ(LcdSelectedCharSet(lcd), 'N');
    // Another controller has CGRAM of its own.
    LcdController other;
    LcdReset(other);
    LcdExecute(lcd, kLcdInstruction, 0x40);
    LcdWriteData(lcd, &row, 1);
    EXPECT_EQ(LcdGlyphRows(other, 0)[0], 0x1Fu);
}
