// LCD controller: addressing on one and two lines, CGRAM wrap and mirror, address counter wraps in
// both directions, function set, shifts, clear sizes, reads, and the nibble pairing.
#include <gtest/gtest.h>

#include <cstdint>

#include "lcd/charset.h"
#include "lcd/controller.h"

namespace {
class LcdControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        LcdReset(lcd);
        LcdSendInitSequence(lcd);  // as at the main window's first activation
    }
    void Instr(uint8_t byte) { LcdExecute(lcd, kLcdInstruction, byte); }
    void Data(uint8_t byte) { LcdExecute(lcd, kLcdData, byte); }
    void Cursor(int line, int column) {
        EXPECT_EQ(lcd.cursorLine, line);
        EXPECT_EQ(lcd.cursorColumn, column);
    }
    LcdController lcd;  // a fresh controller per test
};
}  // namespace

TEST_F(LcdControllerTest, FirstInstructionBeforeAnyResetRunsTheReset) {
    LcdClearState(lcd);
    Data('x');
    EXPECT_TRUE(lcd.setUp);
    EXPECT_EQ(lcd.ddram[0], 'x');
    EXPECT_EQ(lcd.ddram[1], 0);  // DDRAM is kept by the reset: zeros until cleared
    EXPECT_EQ(lcd.lines, 2);
    EXPECT_EQ(lcd.rowStart[3], 0x50);
}

TEST_F(LcdControllerTest, SetDdramAddressOnOneAndTwoLines) {
    Instr(0x80 + 0x45);
    Cursor(1, 5);
    EXPECT_EQ(LcdCursorIndex(lcd), 0x45);
    EXPECT_EQ(LcdReadAddress(lcd), 5);  // the line is not encoded
    Instr(0x30);                     // one line
    Instr(0x80 + 0x45);
    Cursor(0, 69);
    Data('z');
    EXPECT_EQ(lcd.ddram[69], 'z');
    EXPECT_EQ(LcdReadAddress(lcd), 0);  // column 70 is past the line: wrapped to 0 of line "1" = 0
}

TEST_F(LcdControllerTest, CgramWriteWrapsMirrorsAndStillMovesTheCursor) {
    Instr(0x80 + 3);
    Instr(0x40 + 63);
    EXPECT_EQ(LcdReadAddress(lcd), 0x40 + 63);
    Data(0xFF);
    EXPECT_EQ(lcd.cgramAddress, 0);
    EXPECT_EQ(LcdGlyphRows(lcd, 7)[7], 0x1Fu);
    EXPECT_EQ(LcdGlyphRows(lcd, 15)[7], 0x1Fu);
    Cursor(0, 4);  // the address counter steps too
    // Return home keeps CGRAM selected; reads do not move the address.
    Instr(0x02);
    Data(0x15);
    EXPECT_EQ(LcdGlyphRows(lcd, 0)[0], 0x15u);
    EXPECT_EQ(LcdGlyphRows(lcd, 8)[0], 0x15u);
    Instr(0x40);
    EXPECT_EQ(LcdReadData(lcd), 0x15);
    EXPECT_EQ(LcdReadData(lcd), 0x15);
    EXPECT_EQ(lcd.cgramAddress, 0);
    Instr(0x80);
    EXPECT_FALSE(lcd.cgramSelected);
}

TEST_F(LcdControllerTest, IncrementWrapsFromTheLastLineToTheFirst) {
    Instr(0x80 + 0x40 + 39);
    Data(0x41);
    EXPECT_EQ(lcd.ddram[0x40 + 39], 0x41);
    Cursor(0, 0);
    Instr(0x80 + 39);
    Data(0x42);
    Cursor(1, 0);
}

TEST_F(LcdControllerTest, DecrementingWriteAndCursorLeftDifferAtColumnZero) {
    Instr(0x04);  // decrement, no shift
    Data('a');
    Cursor(0, 7);
    Instr(0x80 + 0x40);
    Data('b');
    Cursor(0, 7);  // line 1 column 0 goes to line 0 column 7
    Instr(0x80 + 3);
    Data('c');
    Cursor(0, 2);
    Instr(0x80);
    Instr(0x10);  // cursor left
    Cursor(1, 39);
    Instr(0x10);
    Cursor(1, 38);
    Instr(0x14);  // cursor right
    Instr(0x14);
    Cursor(0, 0);
}

TEST_F(LcdControllerTest, FunctionSetSelectsFontAndSizes) {
    Instr(0x34);
    EXPECT_EQ(lcd.font, 2);
    EXPECT_EQ(lcd.lines, 1);
    EXPECT_EQ(lcd.clearSize, 80u);
    Instr(0x3C);
    EXPECT_EQ(lcd.font, 1);
    EXPECT_EQ(lcd.lines, 2);
    EXPECT_EQ(lcd.clearSize, 104u);
    Instr(0x20);
    EXPECT_EQ(lcd.font, 1);
    EXPECT_EQ(lcd.lineLength, 40);
}

TEST_F(LcdControllerTest, DisplayShiftCountsAndShiftOnWrite) {
    for (int i = 0; i < 11; ++i) Instr(0x18);
    EXPECT_EQ(lcd.shiftOffset, 11);
    Instr(0x02);
    EXPECT_EQ(lcd.shiftOffset, 0);
    Instr(0x1C);
    EXPECT_EQ(lcd.shiftOffset, 39);
    Instr(0x18);
    EXPECT_EQ(lcd.shiftOffset, 0);
    Instr(0x07);  // increment with shift
    Data('a');
    EXPECT_EQ(lcd.shiftOffset, 1);
    Instr(0x05);  // decrement with shift
    Data('b');
    Data('c');
    EXPECT_EQ(lcd.shiftOffset, 39);
}

TEST_F(LcdControllerTest, ClearFillsEightyOrHundredFourBytes) {
    for (uint8_t& b : lcd.ddram) b = 0;
    Instr(0x30);
    Instr(0x07);
    Instr(0x40);
    Instr(0x01);
    EXPECT_EQ(lcd.ddram[79], 0x20);
    EXPECT_EQ(lcd.ddram[80], 0x00);
    EXPECT_FALSE(lcd.cgramSelected);
    EXPECT_TRUE(lcd.shiftOnWrite);
    for (uint8_t& b : lcd.ddram) b = 0;
    Instr(0x38);
    Instr(0x04);
    Instr(0x01);
    EXPECT_EQ(lcd.ddram[50], 0x20);  // the bytes between the lines too
    EXPECT_EQ(lcd.ddram[103], 0x20);
    EXPECT_EQ(lcd.ddram[104], 0x00);
    EXPECT_TRUE(lcd.increment);
}

TEST_F(LcdControllerTest, ReturnHomeSetsIncrement) {
    Instr(0x04);
    Instr(0x80 + 5);
    Instr(0x03);
    EXPECT_TRUE(lcd.increment);
    Cursor(0, 0);
}

TEST_F(LcdControllerTest, DisplayControlInvalidatesOnlyOnDOrCChange) {
    lcd.redrawAll = false;  // as after a drawing pass
    Instr(0x0D);            // D stays on, B on
    EXPECT_FALSE(lcd.redrawAll);
    lcd.blinkPhase = true;
    Instr(0x0E);  // C on, B off
    EXPECT_TRUE(lcd.redrawAll);
    EXPECT_FALSE(lcd.blinkPhase);
}

TEST_F(LcdControllerTest, InitSequenceAndNibblePairing) {
    LcdSendInitSequence(lcd);
    EXPECT_EQ(lcd.lines, 2);
    EXPECT_TRUE(lcd.displayOn);
    EXPECT_FALSE(lcd.cursorOn);
    EXPECT_EQ(lcd.ddram[0], 0x20);
    // 2, 8, 0 then a new 2, 8: the pairs are (2,8) = 0x28 and (0,2) = Return home; the 8 waits.
    Instr(0x80 + 9);
    Instr(0x04);
    for (uint8_t half : {2, 8, 0, 2, 8}) LcdWriteNibble(lcd, half);
    Cursor(0, 0);
    EXPECT_TRUE(lcd.increment);
    EXPECT_FALSE(lcd.expectHighNibble);
    LcdReset(lcd);  // does not re-align the phase
    EXPECT_FALSE(lcd.expectHighNibble);
    LcdWriteNibble(lcd, 0x0);  // completes 0x80: Set DDRAM address 0
    EXPECT_TRUE(lcd.expectHighNibble);
}

TEST_F(LcdControllerTest, DataBlockWritesInOrderAndCountZeroWritesNothing) {
    const uint8_t text[] = {'H', 'i'};
    LcdWriteData(lcd, text, 0);
    Cursor(0, 0);
    LcdWriteData(lcd, text, 2);
    EXPECT_EQ(lcd.ddram[0], 'H');
    EXPECT_EQ(lcd.ddram[1], 'i');
    Instr(0x80);
    EXPECT_EQ(LcdReadData(lcd), 'H');
    Cursor(0, 0);
}
