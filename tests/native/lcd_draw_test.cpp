// LCD drawing into a pixel buffer: lit dots against the glyph rows, cursor underline and blink
// block, display shift, 5x11 descenders, the cell cache, display off, oversized types; and the
// contrast and backlight colour arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "design/lcd_geometry.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"

namespace {
constexpr uint32_t kBackground = 0x00C8C8C8;
constexpr uint32_t kDot = 0x00102030;
constexpr uint32_t kUnpainted = 0xFF000000;

struct Canvas {
    int width = 900, height = 300;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(900 * 300, kUnpainted);
    int fills = 0;
    int rounds = 0;

    static void Fill(void* context, const stPixelRect& r, uint32_t colour) {
        auto* self = static_cast<Canvas*>(context);
        ++self->fills;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x >= 0 && y >= 0 && x < self->width && y < self->height) self->pixels[y * self->width + x] = colour;
    }
    static void Round(void* context, const stPixelRect& r, int32_t, int32_t, uint32_t colour) {
        ++static_cast<Canvas*>(context)->rounds;
        Fill(context, r, colour);
        --static_cast<Canvas*>(context)->fills;
    }
    uint32_t At(int x, int y) const { return pixels[y * width + x]; }
};

class LcdDrawTest : public ::testing::Test {
protected:
    Canvas canvas;
    stLcdDrawHook hook{&canvas, nullptr, nullptr, Canvas::Fill, Canvas::Round};
    // The platform whose LCD surface is the canvas.
    struct CanvasPlatform : PanelPlatform {
        const stLcdDrawHook* surface = nullptr;
        const stLcdDrawHook* LcdSurface() override { return surface; }
    } platform;
    stLcdType type{};
    // The controller and the drawing state, fresh per test.
    LcdController lcd;
    stLcdDrawState draw;
    stViewScale scale;

    // A 2 x 16 type on a screen of 0.1 mm per pixel: cells of 30 x 48 pixels, dots of 6 x 6.
    void SetUp() override {
        SetScreenResolution(scale, 2540000, 2540000);
        LcdReset(lcd);
        LcdSendInitSequence(lcd);
        type.metrics = {16, 2, 0, 0, 80000000, 20000000, 3000000, 4800000, 500000, 1000000};
        type.colours = {kBackground, kBackground, 0, kDot, kDot, 255};
        SetCurrentLcdType(draw, &type);
        platform.surface = &hook;
        draw.platform = &platform;
        Place();
    }
    void Place() { PlaceLcd(scale, lcd, draw.layout, 10, 10, &type, &draw.layout.lcdRect, kPlaceAll); }
    void Draw() {
        LcdDrawBackground(draw, &hook);
        LcdDrawCells(draw, lcd, &hook);
    }
    void Instr(uint8_t byte) { LcdExecute(lcd, kLcdInstruction, byte); }
    void Text(const char* text) {
        LcdWriteData(lcd, reinterpret_cast<const uint8_t*>(text),
                     static_cast<uint8_t>(std::strlen(text)));
    }
    // The 8 rows of 5 dots drawn at (x, y), sampled in the middle of each dot.
    std::vector<uint32_t> RowsAt(int32_t x, int32_t y) const {
        const stLcdLayout& g = draw.layout;
        std::vector<uint32_t> rows(8, 0);
        for (int row = 0; row < 8; ++row)
            for (int dot = 0; dot < 5; ++dot) {
                uint32_t colour = canvas.At(x + dot * g.dotWidth + g.dotWidth / 2, y + row * g.dotHeight + g.dotHeight / 2);
                EXPECT_TRUE(colour == kDot || colour == kBackground) << "unpainted dot at row " << row;
                if (colour == kDot) rows[row] |= 0x10u >> dot;
            }
        return rows;
    }
    std::vector<uint32_t> Cell(int row, int column) const {
        return RowsAt(draw.layout.columnX[column], draw.layout.lineRects[row][1]);
    }
    std::vector<uint32_t> Glyph(int code, uint32_t lastRow = 0) {
        const uint32_t* glyph = LcdGlyphRows(lcd, static_cast<uint8_t>(code));
        std::vector<uint32_t> rows(glyph, glyph + 8);
        rows[7] |= lastRow;
        return rows;
    }
};
}  // namespace

TEST_F(LcdDrawTest, HiOnTwoBySixteenWithCursorUnderline) {
    ASSERT_EQ(draw.layout.dotWidth, 6);
    ASSERT_EQ(draw.layout.dotHeight, 6);
    Instr(0x0E);  // display on, cursor on
    Text("Hi");
    Instr(0xC0);
    Text("2");
    Instr(0x82);
    Draw();
    EXPECT_EQ(canvas.rounds, 1);
    EXPECT_EQ(canvas.At(11, 11), kBackground);
    EXPECT_EQ(Cell(0, 0), Glyph('H'));
    EXPECT_EQ(Cell(0, 1), Glyph('i'));
    EXPECT_EQ(Cell(0, 2), Glyph(' ', 0x1F));  // the cursor cell: underline
    EXPECT_EQ(Cell(1, 0), Glyph('2'));
    EXPECT_EQ(Cell(1, 15), Glyph(' '));
    EXPECT_EQ(draw.cellCache[2], 0x20 | kCellCursor);
    // Nothing changed: the second pass only redraws the cursor cell.
    canvas.fills = 0;
    LcdDrawCells(draw, lcd, &hook);
    EXPECT_EQ(canvas.fills, 40);
    // The cursor moves on: the cell it left is drawn once more, without the underline.
    Instr(0x14);
    LcdDrawCells(draw, lcd, &hook);
    EXPECT_EQ(Cell(0, 2), Glyph(' '));
    EXPECT_EQ(Cell(0, 3), Glyph(' ', 0x1F));
}

TEST_F(LcdDrawTest, BlinkAlternatesBlockAndUnderline) {
    Instr(0x0F);
    Text("A");
    Draw();
    EXPECT_EQ(Cell(0, 1), Glyph(' ', 0x1F));
    LcdBlinkTick(draw, lcd);
    EXPECT_EQ(Cell(0, 1), std::vector<uint32_t>(8, 0x1F));
    LcdBlinkTick(draw, lcd);
    EXPECT_EQ(Cell(0, 1), Glyph(' ', 0x1F));
    Instr(0x0C);  // blink and cursor off
    EXPECT_FALSE(lcd.blinkPhase);
    LcdBlinkTick(draw, lcd);
    EXPECT_FALSE(lcd.blinkPhase);
}

TEST_F(LcdDrawTest, ShiftedDisplayWrapsWithinTheLine) {
    for (int i = 0; i < 40; ++i) lcd.ddram[i] = static_cast<uint8_t>('0' + i);
    for (int i = 0; i < 40; ++i) lcd.ddram[0x40 + i] = static_cast<uint8_t>('0' + 40 - i);
    Instr(0x18);  // shift left once: DDRAM 0x01-0x10 and 0x41-0x50
    Draw();
    EXPECT_EQ(Cell(0, 0), Glyph('1'));
    EXPECT_EQ(Cell(0, 15), Glyph('0' + 16));
    EXPECT_EQ(Cell(1, 0), Glyph('0' + 39));
    Instr(0x02);
    Instr(0x1C);  // shift 39: 0x27, then 0x00-0x0E
    Draw();
    EXPECT_EQ(Cell(0, 0), Glyph('0' + 39));
    EXPECT_EQ(Cell(0, 1), Glyph('0'));
    EXPECT_EQ(Cell(0, 15), Glyph('0' + 14));
    EXPECT_EQ(Cell(1, 1), Glyph('0' + 40));
}

TEST_F(LcdDrawTest, FiveByElevenDescenderOnTheSecondRow) {
    Instr(0x34);  // one line, 5x11
    Instr(0x01);
    Text("\xE7");
    Draw();
    const stLcdLayout& g = draw.layout;
    EXPECT_EQ(Cell(0, 0), Glyph(0xE7));
    std::vector<uint32_t> lower = RowsAt(g.columnX[0], g.lineRects[1][1]);
    EXPECT_EQ(lower, (std::vector<uint32_t>{0x01, 0x01, 0x0E, 0, 0, 0, 0, 0}));
    // The cursor underline of a tall cell is row 10.
    Instr(0x0E);
    Draw();
    lower = RowsAt(g.columnX[1], g.lineRects[1][1]);
    EXPECT_EQ(lower, (std::vector<uint32_t>{0, 0, 0x1F, 0, 0, 0, 0, 0}));
    // Tall user character 0/1: rows 0-7 from code 0, rows 8-10 from code 1.
    Instr(0x48);
    for (uint8_t row : {1, 2, 3, 4, 5, 6, 7, 8}) LcdWriteData(lcd, &row, 1);
    Instr(0x80);
    Text("\x01");
    Draw();
    EXPECT_EQ(Cell(0, 0), Glyph(0));
    EXPECT_EQ(RowsAt(g.columnX[0], g.lineRects[1][1]), (std::vector<uint32_t>{1, 2, 3, 0, 0, 0, 0, 0}));
}

TEST_F(LcdDrawTest, SingleRowTypeDrawsDescendersRightBelowTheCell) {
    type.metrics.lines = 1;
    Place();
    Instr(0x34);
    Instr(0x01);
    Text("\xEA");
    Draw();
    const stLcdLayout& g = draw.layout;
    EXPECT_EQ(RowsAt(g.columnX[0], g.lineRects[0][1] + 8 * g.dotHeight),
              (std::vector<uint32_t>{0x02, 0x12, 0x0C, 0, 0, 0, 0, 0}));
}

TEST_F(LcdDrawTest, DisplayOffPaintsBackgroundAndOnBringsTextBack) {
    Text("W");
    Draw();
    Instr(0x08);
    LcdDrawCells(draw, lcd, &hook);
    EXPECT_EQ(Cell(0, 0), std::vector<uint32_t>(8, 0));
    Instr(0x0C);
    LcdDrawCells(draw, lcd, &hook);
    EXPECT_EQ(Cell(0, 0), Glyph('W'));
}

TEST_F(LcdDrawTest, OversizedTypeIsClampedToFourByForty) {
    type.metrics.lines = 7;
    type.metrics.characters = 100;
    type.metrics.charX = 1000000;
    type.metrics.charY = 1000000;
    type.metrics.width = 88000000;
    Place();
    EXPECT_EQ(lcd.rowsShown, 4);
    EXPECT_EQ(lcd.columnsShown, 40);
    Draw();  // stays inside the geometry arrays (checked under ASan)
    EXPECT_EQ(draw.cellCache[kLcdCellCount - 1], 0x20);
}

TEST_F(LcdDrawTest, NothingIsDrawnWithoutAnLcdOrSurface) {
    SetCurrentLcdType(draw, nullptr);
    Draw();
    LcdSetContrast(draw, 10);
    EXPECT_EQ(canvas.fills + canvas.rounds, 0);
    SetCurrentLcdType(draw, &type);
    hook.begin = [](void*) { return 0; };
    Draw();
    EXPECT_EQ(canvas.fills + canvas.rounds, 0);
}

TEST(LcdColour, ContrastAndBacklightArithmetic) {
    stLcdDrawState draw;  // no hook: only the colours change
    stLcdType type{};
    type.colours = {0x00C8C8C8, 0x0000FF00, 0x00102030, 0, 0, 255};
    SetCurrentLcdType(draw, &type);
    LcdSetContrast(draw, 128);
    EXPECT_EQ(type.colours.dot, 0x00636363u);  // 200 * 127 / 255 = 99
    EXPECT_EQ(type.colours.contrast, 128u);
    LcdSetContrast(draw, 0);
    EXPECT_EQ(type.colours.dot, type.colours.background);
    LcdSetContrast(draw, 255);
    EXPECT_EQ(type.colours.dot, 0u);
    LcdSetBacklight(draw, 0);
    EXPECT_EQ(type.colours.background, 0x00102030u);
    LcdSetBacklight(draw, 255);
    EXPECT_EQ(type.colours.background, 0x0000FF00u);
    EXPECT_EQ(type.colours.dot, 0u);  // contrast 255 kept
    // Falling channels: signed difference, the quotient truncated toward zero.
    EXPECT_EQ(LcdBlendColour(0x00000064, 0x00000000, 128), 0x00000032u);  // 100 + (-12800 / 255)
    type.colours.contrast = 1000;  // out of range from a file: counts as 255
    LcdSetBacklight(draw, 128);
    EXPECT_EQ(type.colours.dot, 0u);
    SetCurrentLcdType(draw, nullptr);
}
