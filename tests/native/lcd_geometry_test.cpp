// Coordinate scaling and the LCD layout: conversions at the three scales, screen resolution,
// first-column offset, vertical margin, dot size, controller geometry.
#include <gtest/gtest.h>

#include "design/lcd_geometry.h"
#include "lcd/controller.h"

namespace {
class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        LcdReset(lcd);
    }
    LcdController lcd;  // a fresh controller, view scale and layout per test
    stViewScale scale;
    stLcdLayout layout;
    // 16 x 2, 80 mm x 20 mm, cells 3 x 4.8 mm, gaps 0.5 / 1 mm.
    static stLcdType SixteenByTwo() {
        stLcdType t{};
        t.metrics = {16, 2, 0, 0, 80000000, 20000000, 3000000, 4800000, 500000, 1000000};
        return t;
    }
};
}  // namespace

TEST_F(GeometryTest, ConversionsAtTheThreeScales) {
    EXPECT_EQ(ToLogical(scale, 100, 0), 26458300);
    EXPECT_EQ(ToPixels(scale, 26458300, 0), 100);
    EXPECT_EQ(ToLogical(scale, 100, 2), 0);
    EXPECT_EQ(ToPixels(scale, 26458300, -1), 0);
    SetScaleFromSetting(scale, 2);
    EXPECT_EQ(ToPixels(scale, 26458300, 1), 50);
    SetScaleFromSetting(scale, 3);
    EXPECT_EQ(ToLogical(scale, 300, 0), 450 * 264583);
    EXPECT_EQ(ToPixels(scale, ToLogical(scale, 300, 0), 0), 300);
    SetScaleFromSetting(scale, 7);
    EXPECT_EQ(scale.scaleDivisor, 1.0f);

    stPanelObject key{};
    key.pixelRect() = {10, 20, 110, 70};
    ObjectToLogical(scale, &key);
    EXPECT_EQ(key.logicalRect().width, 26458300);
    stPixelRect back = ObjectToPixels(scale, key.logicalRect().x, key.logicalRect().y, key.logicalRect().width,
                                      key.logicalRect().height);
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.right, 110);
    EXPECT_EQ(back.bottom, 70);
}

TEST_F(GeometryTest, ScreenResolutionAndItsZeroGuard) {
    EXPECT_EQ(SetScreenResolution(scale, 960000, 1200000), 1);
    EXPECT_EQ(scale.nmPerPixelX, 264583);
    EXPECT_EQ(scale.nmPerPixelY, 211666);
    EXPECT_EQ(SetScreenResolution(scale, 0, 960000), 0);
    EXPECT_EQ(scale.nmPerPixelX, 264583);
    scale.nmPerPixelX = 0;
    EXPECT_EQ(ToPixels(scale, 1000000, 0), 0);
}

TEST_F(GeometryTest, FrameColumnsAndLinesOfASixteenByTwo) {
    SetScreenResolution(scale, 2540000, 2540000);  // 0.1 mm per pixel
    stLcdType t = SixteenByTwo();
    stPixelRect frame{};
    stPixelPoint corner = PlaceLcd(scale, lcd, layout, 10, 20, &t, &frame, kPlaceAll);
    EXPECT_EQ(frame.left, 10);
    EXPECT_EQ(frame.right, 810);
    EXPECT_EQ(frame.bottom, 220);
    EXPECT_EQ(corner.x, 810);
    EXPECT_EQ(corner.y, 220);
    EXPECT_EQ(t.placement.logicalRect.x, 1000000);
    EXPECT_EQ(t.placement.logicalRect.y, 2000000);
    const stLcdLayout& g = layout;
    // Offset 40 - 8 x 3.5 - 0.25 = 11.75 mm; rounded to whole pixels with half a pixel.
    EXPECT_EQ(g.lineRects[0][0] - 10, 118);
    EXPECT_EQ(g.lineRects[0][2], 10 - 118);
    EXPECT_EQ(g.columnX[0], 128);
    EXPECT_EQ(g.columnX[15], 128 + 15 * 35);
    // Margin (20 - 2 x 4.8 - 1) / 2 = 4.7 mm.
    EXPECT_EQ(g.lineRects[0][1], 20 + 47);
    EXPECT_EQ(g.lineRects[0][3], 20 + 47 + 48);
    EXPECT_EQ(g.lineRects[1][1], 20 + 47 + 58);
    EXPECT_EQ(g.dotWidth, 6);
    EXPECT_EQ(g.dotHeight, 6);
    // Moving with x = -1 keeps the frame's position.
    frame.left = 50;
    PlaceLcd(scale, lcd, layout, -1, 5, &t, &frame, kPlaceFrame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.right, 850);
    // Without the frame step the result is the given point and the frame stays.
    corner = PlaceLcd(scale, lcd, layout, 3, 4, &t, &frame, kPlaceDots);
    EXPECT_EQ(corner.x, 3);
    EXPECT_EQ(frame.left, 50);
}

TEST_F(GeometryTest, OddCountZeroMarginAndTinyDots) {
    SetScreenResolution(scale, 2540000, 2540000);
    stLcdType t = SixteenByTwo();
    t.metrics.characters = 15;  // odd: minus half a cell
    t.metrics.height = 500000;   // cells do not fit: margin 0
    t.metrics.charX = 400000;    // 4 pixels: dot width still 1
    t.metrics.charY = 400000;
    t.placement.logicalRect = {0, 0, 0, 0};
    stPixelRect frame{};
    PlaceLcd(scale, lcd, layout, -1, -1, &t, &frame, kPlaceAll);
    const stLcdLayout& g = layout;
    EXPECT_EQ(g.dotWidth, 1);
    EXPECT_EQ(g.dotHeight, 1);
    // 40 - 7 x 0.9 - 0.2 = 33.5 mm
    EXPECT_EQ(g.columnX[0], 335);
    EXPECT_EQ(g.lineRects[0][1], 0);
    // A type not placed yet (negative logical x) keeps the old cell layout.
    t.placement.logicalRect.x = -1;
    PlaceLcd(scale, lcd, layout, -1, -1, &t, nullptr, kPlaceDots | kPlaceController);
    EXPECT_EQ(layout.columnX[0], 335);
}

TEST_F(GeometryTest, ControllerGeometryOfFourLineTypes) {
    stLcdType t{};
    t.metrics.lines = 4;
    t.metrics.characters = 20;
    SetControllerGeometry(lcd, &t);
    EXPECT_EQ(lcd.rowsShown, 4);
    EXPECT_EQ(lcd.columnsShown, 20);
    EXPECT_EQ(lcd.rowStart[0], 0x00);
    EXPECT_EQ(lcd.rowStart[1], 0x40);
    EXPECT_EQ(lcd.rowStart[2], 20);
    EXPECT_EQ(lcd.rowStart[3], 84);
    t.metrics.characters = -3;
    SetControllerGeometry(lcd, &t);
    EXPECT_EQ(lcd.columnsShown, 0);
    SetControllerGeometry(lcd, nullptr);
    EXPECT_EQ(lcd.rowsShown, 0);
    EXPECT_EQ(lcd.columnsShown, 0);
}

TEST(LcdCellArea, CellsAgainstTheFrame) {
    // metrics (characters, lines, fontX, fontY, width, height, charX, charY, dotX, dotY) -> area, fits
    const struct {
        stLcdMetrics m;
        int64_t width, height;
        bool fits;
    } cases[] = {
        // 2x16 of the demo: 16 x 2.95 + 15 x 0.6 = 56.2 mm; 2 x 5.55 + 0.4 = 11.5 mm
        {{16, 2, 0, 8, 64500000, 16000000, 2950000, 5550000, 600000, 400000}, 56200000, 11500000, true},
        // 4x20 cells in a 64.5 mm frame: 70.4 mm wide
        {{20, 4, 0, 8, 64500000, 25200000, 2950000, 4750000, 600000, 600000}, 70400000, 20800000, false},
        // exactly as wide as the frame, then one nanometre too tall
        {{2, 1, 0, 8, 5000000, 1000000, 2000000, 1000000, 1000000, 0}, 5000000, 1000000, true},
        {{2, 1, 0, 8, 5000000, 999999, 2000000, 1000000, 1000000, 0}, 5000000, 1000000, false},
        // one line of 5x11 characters is 11/8 of a cell tall; two lines of them are not drawn so
        {{8, 1, 0, 11, 38000000, 10000000, 3550000, 7800000, 650000, 0}, 32950000, 10725000, false},
        {{8, 2, 0, 11, 38000000, 16000000, 3550000, 7800000, 650000, 400000}, 32950000, 16000000, true},
        // no cells at all
        {{0, 0, 0, 0, 0, 0, 3000000, 5000000, 500000, 500000}, 0, 0, true},
    };
    for (const auto& c : cases) {
        stLcdCellArea area = LcdCellArea(c.m);
        EXPECT_EQ(area.width, c.width) << int(c.m.characters) << "x" << int(c.m.lines);
        EXPECT_EQ(area.height, c.height) << int(c.m.characters) << "x" << int(c.m.lines);
        EXPECT_EQ(LcdCellsFitFrame(c.m), c.fits) << int(c.m.characters) << "x" << int(c.m.lines);
    }
}
