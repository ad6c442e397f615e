#include "harness/test_design.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/alloc.h"
#include "design/design_file.h"
#include "design/design_lcd.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace {
constexpr int32_t kNmPerPixel = 264583;  // 96 dots per inch, as the plate is stored

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> SolidBitmap(int width, int height, uint32_t colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const size_t size = 54 + static_cast<size_t>(rowBytes) * height;
    std::vector<uint8_t> bmp(size, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put32(bmp, 2, static_cast<uint32_t>(size));
    Put32(bmp, 10, 54);
    Put32(bmp, 14, 40);
    Put32(bmp, 18, static_cast<uint32_t>(width));
    Put32(bmp, 22, static_cast<uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    Put32(bmp, 34, static_cast<uint32_t>(rowBytes * height));
    Put32(bmp, 38, 3780);
    Put32(bmp, 42, 3780);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &bmp[54 + static_cast<size_t>(y) * rowBytes + x * 3];
            p[0] = static_cast<uint8_t>(colour >> 16);  // blue
            p[1] = static_cast<uint8_t>(colour >> 8);
            p[2] = static_cast<uint8_t>(colour);
        }
    return bmp;
}

stPanelObject* NewObject(int32_t kind, int32_t id, const char* name, int x, int y, int w, int h,
                         const char* tooltip = "-") {
    auto* object = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
    object->kind = kind;
    object->id() = id;
    object->name = OrpStrDup(TestPanel().heap, name);
    object->tooltip = OrpStrDup(TestPanel().heap, tooltip);
    object->logicalRect() = stLogicalRect{x * kNmPerPixel, y * kNmPerPixel, w * kNmPerPixel, h * kNmPerPixel};
    object->pixelRect() = stPixelRect{x, y, x + w, y + h};
    return object;
}
}  // namespace

bool WriteSolidBitmap(const std::string& path, int width, int height, uint32_t colour) {
    std::vector<uint8_t> bmp = SolidBitmap(width, height, colour);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bmp.data(), 1, bmp.size(), file) == bmp.size();
    return std::fclose(file) == 0 && written;
}

bool WriteTestDesign(const std::string& path, const TestDesign& design) {
    if (!TestPanel().design.keys) CreatePanelLists(TestPanel());
    ResetDesign(TestPanel().design);

    std::vector<uint8_t> bmp = SolidBitmap(design.plateWidth, design.plateHeight, design.plateColour);
    auto* image = static_cast<uint8_t*>(OrpAlloc(TestPanel().heap, bmp.size()));
    std::memcpy(image, bmp.data(), bmp.size());
    SetPlateImage(TestPanel().design.plate, image, static_cast<uint32_t>(bmp.size()), 0);

    stLcdType& lcd = TestPanel().design.lcd;
    static char name[] = "Test 2x16";
    static char tooltip[] = "2 x 16 test LCD";
    static char font[] = "N";
    lcd.name = name;
    lcd.tooltip = tooltip;
    lcd.font = font;
    lcd.metrics = stLcdMetrics{16, 2, 5, 8, 0, 0, 0, 0, 0, 0};
    lcd.metrics.width = 120 * kNmPerPixel;   // frame 120 x 40 px
    lcd.metrics.height = 40 * kNmPerPixel;
    lcd.metrics.charX = 5 * kNmPerPixel;     // one pixel per dot
    lcd.metrics.charY = 8 * kNmPerPixel;
    lcd.metrics.dotX = 2 * kNmPerPixel;
    lcd.metrics.dotY = 4 * kNmPerPixel;
    lcd.placement = stPlacement{32860, {0, 0, 0, 0}, {design.lcdX * kNmPerPixel, design.lcdY * kNmPerPixel, 0, 0}};
    lcd.colours = stLcdColours{design.lcdBacklightOn, design.lcdBacklightOn, design.lcdBacklightOff, design.lcdText,
                               design.lcdText, 255};
    SetCurrentLcdType(TestPanel().lcdDraw, &lcd);

    AppendItem(TestPanel().design.keys, NewObject(kKindKey, 0, "OK", 150, 20, 30, 20));
    AppendItem(TestPanel().design.keys, NewObject(kKindKey, 1, "ESC", 150, 50, 30, 20));
    stPanelObject* led = NewObject(kKindLed, 0, "RUN", design.ledX, design.ledY, design.ledSize, design.ledSize);
    led->colourOn = design.ledOn;
    led->colourOff = design.ledOff;
    led->colour = design.ledOff;
    AppendItem(TestPanel().design.leds, led);
    for (const TestObject& key : design.extraKeys)
        AppendItem(TestPanel().design.keys,
                   NewObject(kKindKey, key.id, "key", key.x, key.y, key.width, key.height, key.tooltip));
    for (const TestObject& extra : design.extraLeds) {
        stPanelObject* more = NewObject(kKindLed, extra.id, "led", extra.x, extra.y, extra.width, extra.height,
                                        extra.tooltip);
        more->colourOn = design.ledOn;
        more->colourOff = more->colour = design.ledOff;
        AppendItem(TestPanel().design.leds, more);
    }
    for (const std::string& tip : design.tips)
        AppendItem(TestPanel().design.tips, NewTextItem(TestPanel().heap, tip.data(), static_cast<uint32_t>(tip.size())));
    const int32_t tipInterval = TestPanel().design.model.tipInterval;
    TestPanel().design.model.tipInterval = design.tipSeconds * 1000;

    const uint32_t capabilities = TestPanel().design.model.options;
    TestPanel().design.model.options = design.modelCapabilities;
    int ok = SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str());
    TestPanel().design.model.options = capabilities;
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
    lcd.name = lcd.tooltip = lcd.font = nullptr;
    ReleasePlate(TestPanel().design.plate);
    ResetDesign(TestPanel().design);
    TestPanel().design.model.tipInterval = tipInterval;
    return ok == 1;
}
