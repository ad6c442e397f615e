// Helpers shared by the design subsystem's tests: bitmap files built in memory, temporary
// files, and a clean design state per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/alloc.h"
#include "design/design_lcd.h"
#include "design/front_plate.h"
#include "design/object_model.h"
#include "fake_platform.h"
#include "monitor/trace.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace design_test {

inline void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t Get32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A bottom-up (or top-down with height < 0) 24-bit bitmap file with a 40-byte info header.
inline std::vector<uint8_t> MakeBitmap(int32_t width, int32_t height, int32_t perMetre) {
    uint32_t stride = ((static_cast<uint32_t>(width) * 24 + 31) / 32) * 4;
    uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
    uint32_t size = 54 + stride * rows;
    std::vector<uint8_t> b(size, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, size);
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    Put32(b, 34, stride * rows);
    Put32(b, 38, static_cast<uint32_t>(perMetre));
    Put32(b, 42, static_cast<uint32_t>(perMetre));
    for (uint32_t i = 54; i < size; ++i) b[i] = static_cast<uint8_t>(i * 7);
    return b;
}

class TempDir {
public:
    // Lower-case name: the open routine lower-cases whole paths.
    TempDir() {
        static int counter = 0;
        path_ = "/tmp/orpdesigntest-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        std::system(("mkdir -p '" + path_ + "'").c_str());
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::vector<uint8_t> out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return out;
}

inline void ClearDesignLcd() {
    stLcdType& lcd = TestPanel().design.lcd;
    OrpFree(lcd.name);
    OrpFree(lcd.tooltip);
    OrpFree(lcd.font);
    lcd = stLcdType{};
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
}

// Fresh lists, no front plate, no LCD, a model as the main window starts it.
inline void FreshDesignState() {
    FreePanelLists(TestPanel());
    CreatePanelLists(TestPanel());
    ResetDesign(TestPanel().design);
    ReleasePlate(TestPanel().design.plate);
    TestPanel().design.plate = stFrontPlate{};
    ClearDesignLcd();
    TestPanel().design.model = stPanelModel{};
    TestPanel().design.model.tipInterval = 7000;
}

inline void ReleaseDesignState() {
    TestPanel().heap.FailAllocationAfter(-1);
    FreePanelLists(TestPanel());
    ReleasePlate(TestPanel().design.plate);
    ClearDesignLcd();
}

}  // namespace design_test
