// Builds small design files for Wine tests with the panel's own core: a solid-colour front
// plate, a 2x16 LCD, two keys and an LED.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A key or LED beyond the design's fixed ones, in plate pixels.
struct TestObject {
    int32_t id;
    int x, y, width, height;
    const char* tooltip;
};

struct TestDesign {
    int plateWidth = 240;
    int plateHeight = 120;
    uint32_t plateColour = 0x00406080;  // 0x00BBGGRR
    int lcdX = 20, lcdY = 10;           // LCD frame's upper left corner, plate pixels
    uint32_t lcdBacklightOff = 0x0080C0A0;
    uint32_t lcdBacklightOn = 0x0080C0A0;   // the colour at full backlight
    uint32_t modelCapabilities = 0;          // MODEL_* flags of the panel model
    uint32_t lcdText = 0x00102010;
    int ledX = 200, ledY = 80, ledSize = 16;
    uint32_t ledOn = 0x000000FF, ledOff = 0x00004000;
    std::vector<TestObject> extraKeys;
    std::vector<TestObject> extraLeds;  // in the LED colours above
    std::vector<std::string> tips;      // operating tips, shown every tipSeconds
    int tipSeconds = 7;
};

// Writes a 24-bit bitmap file of one colour (0x00BBGGRR) at 96 dots per inch.
bool WriteSolidBitmap(const std::string& path, int width, int height, uint32_t colour);
// Writes the design file; returns false when it could not be written.
bool WriteTestDesign(const std::string& path, const TestDesign& design);
