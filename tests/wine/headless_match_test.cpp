// The headless panel's pictures against the panel window: the same design and the same host
// messages go to the DLL and to a headless panel in this process, and the window's pixels must
// show what the headless drawing computes: every dot of the LCD, the front plate around it,
// and the LEDs.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "harness/window_capture.h"
#include "harness/panel_session.h"
#include "design/lcd_geometry.h"
#include "harness/test_design.h"
#include "lcd/lcd_painter.h"
#include "headless/headless_render.h"
#include "headless/png_writer.h"
#include "orppanel_headless.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace {

struct Area {
    int left, top, right, bottom;
};

// Pixels of `area` that differ; the first few described in `why`.
int Differences(const Picture& window, const Picture& headless, Area area, std::string* why) {
    std::ostringstream out;
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (x >= window.width || y >= window.height || x >= headless.width || y >= headless.height) {
                ++count;
                continue;
            }
            if (window.At(x, y) == headless.At(x, y)) continue;
            if (++count <= 3)
                out << " (" << x << "," << y << ") window " << std::hex << window.At(x, y) << " headless "
                    << headless.At(x, y) << std::dec;
        }
    *why = out.str();
    return count;
}

TEST(HeadlessPicture, LcdDotsPlateAndLedMatchThePanelWindow) {
    const std::string path = MakeTempWorkDir("headless_match") + "\\match.orp";
    TestDesign design;
    ASSERT_TRUE(WriteTestDesign(path, design));
    const std::vector<std::string> firmware = {"WHi, panel\r", "D\xC0\r", "W\xE4\x5C\x7E 0123\r", "O\x01\r"};

    TestSettings settings;
    settings.fileCfg = path;
    PanelSession panel(OPT_ENGLISH, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    ASSERT_TRUE(panel.AcknowledgeResetAnnouncement());
    HWND window = panel.panel();
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (const std::string& frame : firmware) {
        panel.Send(frame);
        EXPECT_EQ("\x06\r", panel.NextFrame()) << Printable(frame);
    }

    // The window lays the design out for the screen it measured; the headless panel is given
    // the same resolution.
    ASSERT_EQ(1, MeasureScreen(window));
    const unsigned perX = TestPanel().design.scale.pixelsPer10kInchX, perY = TestPanel().design.scale.pixelsPer10kInchY;
    orph_panel* headlessPanel = orph_open();
    ASSERT_NE(nullptr, headlessPanel);
    ASSERT_EQ(1, orph_set_resolution(headlessPanel, perX, perY));
    ASSERT_EQ(1, orph_load_design(headlessPanel, path.c_str()));
    for (const std::string& frame : firmware)
        orph_receive_from_app(headlessPanel, reinterpret_cast<const unsigned char*>(frame.data()),
                              static_cast<unsigned int>(frame.size()));
    Picture headless;
    ASSERT_EQ(1, RenderPanel(headlessPanel, &headless.width, &headless.height, &headless.pixels));
    EXPECT_EQ(design.plateWidth, headless.width);
    EXPECT_EQ(design.plateHeight, headless.height);
    orph_close(headlessPanel);

    // The LCD frame of the test design: 120 x 40 pixels at (lcdX, lcdY). Its rounded corners
    // are left out: the dots and the background between them must match exactly.
    const Area lcd{design.lcdX + 2, design.lcdY + 2, design.lcdX + 118, design.lcdY + 38};
    const Area plate{0, 0, design.plateWidth, design.lcdY};  // above the LCD
    std::string why;
    const std::string pictures = path.substr(0, path.rfind('\\'));
    WritePng((pictures + "\\headless.png").c_str(), headless.width, headless.height, headless.pixels);
    EXPECT_TRUE(WaitUntil([&] {
        Picture shown = Capture(window);
        return Differences(shown, headless, lcd, &why) == 0 && Differences(shown, headless, plate, &why) == 0;
    })) << "pixels differ:" << why;

    // The LED: its colour in the middle, and the ellipse with its outline nearly everywhere
    // (the two ellipse rasterisers may differ by a pixel on the rim).
    const int cx = design.ledX + design.ledSize / 2, cy = design.ledY + design.ledSize / 2;
    const Area led{design.ledX, design.ledY, design.ledX + design.ledSize, design.ledY + design.ledSize};
    Picture shown = Capture(window);
    WritePng((pictures + "\\window.png").c_str(), shown.width, shown.height, shown.pixels);
    EXPECT_EQ(design.ledOn, headless.At(cx, cy));
    EXPECT_EQ(shown.At(cx, cy), headless.At(cx, cy));
    const int rim = Differences(shown, headless, led, &why);
    EXPECT_LE(rim, design.ledSize * design.ledSize / 8) << why;
}

}  // namespace
