// What the headless panel gives a viewer such as orp-web, on the demo design: the mouse's rules
// at a pixel (press, release where the button goes up, Ctrl latches and holds, an LED hides the
// key under it), the status line
// with tooltips and the rotating operating tips, the objects, and the picture in memory, which
// is the PNG's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orppanel_headless.h"
#include "web_test_support.h"

namespace {

class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, panel);
        ASSERT_EQ(1, orph_load_design(panel, webtest::DemoDesign().c_str()));
    }
    void TearDown() override { orph_close(panel); }
    std::string Status() {
        char text[512];
        return orph_status_text(panel, text, sizeof text) >= 0 ? text : "?";
    }
    orph_panel* panel = orph_open();
};

// The demo design's OK key (id 6), its Down key (8) and its POWER LED.
constexpr int kOkX = 471, kOkY = 130, kDownX = 471, kDownY = 184, kLedX = 78, kLedY = 296, kPlateX = 5, kPlateY = 5;

TEST_F(Viewer, MouseButtonFollowsTheWindowsRules) {
    const struct {
        const char* step;
        int (*action)(orph_panel*, int, int, int);
        int x, y, ctrl;
        int actedOn;
        std::vector<int> down;  // keys down afterwards
    } steps[] = {
        {"press OK", orph_mouse_down, kOkX, kOkY, 0, 6, {6}},
        {"release over Down: OK stays", orph_mouse_up, kDownX, kDownY, 0, 8, {6}},
        {"release over OK", orph_mouse_up, kOkX, kOkY, 0, 6, {}},
        {"press on an LED: nothing", orph_mouse_down, kLedX, kLedY, 0, -1, {}},
        {"press on the plate: nothing", orph_mouse_down, kPlateX, kPlateY, 0, -1, {}},
        {"Ctrl + press latches Down", orph_mouse_down, kDownX, kDownY, 1, 8, {8}},
        {"Ctrl + release keeps it", orph_mouse_up, kDownX, kDownY, 1, -1, {8}},
        {"Ctrl + press OK latches it too", orph_mouse_down, kOkX, kOkY, 1, 6, {6, 8}},
        {"Ctrl + press Down again unlatches it", orph_mouse_down, kDownX, kDownY, 1, 8, {6}},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.actedOn, s.action(panel, s.x, s.y, s.ctrl)) << s.step;
        std::vector<int> down;
        for (int id = 0; id < 256; ++id)
            if (orph_key_state(panel, id) == 1) down.push_back(id);
        EXPECT_EQ(s.down, down) << s.step;
    }
    orph_release_all_keys(panel);  // Ctrl released
    EXPECT_EQ(0, orph_key_state(panel, 6));
}

TEST_F(Viewer, AnLedOverAKeyHidesThatPartOfTheKey) {
    ASSERT_EQ(1, orph_load_design(panel, webtest::DemoDesign("led_over_key.orp").c_str()));
    EXPECT_EQ(-1, orph_mouse_down(panel, 450, 110, 0));  // on the LED, inside the OK key
    EXPECT_EQ(-1, orph_mouse_down(panel, 450, 110, 1));
    EXPECT_EQ(0, orph_key_state(panel, 6));
    orph_mouse_move(panel, 450, 110);
    EXPECT_EQ("Supply voltage", Status());
    EXPECT_EQ(6, orph_mouse_down(panel, 490, 150, 0));  // the rest of the key
    // The button goes up over the LED: a release finds keys only.
    EXPECT_EQ(6, orph_mouse_up(panel, 450, 110, 0));
    EXPECT_EQ(0, orph_key_state(panel, 6));
}

TEST_F(Viewer, StatusLineShowsTooltipsAndRotatesTheTipsOnThePanelsClock) {
    EXPECT_EQ("", Status());
    orph_mouse_move(panel, kPlateX, kPlateY);
    EXPECT_EQ("Press START to begin a measurement; STOP ends it.", Status());
    orph_mouse_move(panel, kPlateX + 1, kPlateY);  // the rotation runs: no new tip per move
    orph_advance_ms(panel, 6999);
    EXPECT_EQ("Press START to begin a measurement; STOP ends it.", Status());
    orph_advance_ms(panel, 1);  // the demo's tips change every 7 s
    EXPECT_EQ("F1 over a key or LED shows the context help for it.", Status());

    orph_mouse_move(panel, kOkX, kOkY);
    EXPECT_EQ("Confirm the selection", Status());
    orph_advance_ms(panel, 30000);  // over an object the tips stand still
    EXPECT_EQ("Confirm the selection", Status());
    orph_mouse_move(panel, kLedX, kLedY);
    EXPECT_EQ("Supply voltage", Status());
    orph_mouse_move(panel, kPlateX, kPlateY);
    EXPECT_EQ("The RUN LED is green while measuring and red on a fault.", Status());
}

TEST_F(Viewer, ObjectsAndPictureAreWhatTheWindowShows) {
    ASSERT_EQ(15, orph_object_count(panel));  // 4 LEDs, then 11 keys
    orph_object object{};
    char name[4], tooltip[256];
    ASSERT_EQ(1, orph_object_info(panel, 4, &object, name, sizeof name, tooltip, sizeof tooltip));
    EXPECT_EQ(ORPH_OBJECT_KEY, object.kind);
    EXPECT_EQ(0, object.id);
    EXPECT_EQ((std::vector<int>{48, 196, 112, 228}),
              (std::vector<int>{object.left, object.top, object.right, object.bottom}));
    EXPECT_STREQ("F1", name);
    EXPECT_STREQ("Soft key 1: measured value", tooltip);
    ASSERT_EQ(1, orph_object_info(panel, 0, &object, name, sizeof name, nullptr, 0));
    EXPECT_EQ(ORPH_OBJECT_LED, object.kind);
    EXPECT_STREQ("POW", name);  // cut to its capacity
    EXPECT_EQ(0, orph_object_info(panel, 15, &object, nullptr, 0, nullptr, 0));

    int width = 0, height = 0;
    EXPECT_EQ(0, orph_render_panel(panel, nullptr, 0, &width, &height));
    ASSERT_EQ(640, width);
    ASSERT_EQ(400, height);
    std::vector<unsigned> pixels(static_cast<size_t>(width) * height);
    ASSERT_EQ(1, orph_render_panel(panel, pixels.data(), static_cast<int>(pixels.size()), &width, &height));
    // The POWER LED's centre in the colour it shows, off and then lit by the host.
    const size_t led = static_cast<size_t>(kLedY) * width + kLedX;
    const unsigned off = pixels[led];
    EXPECT_EQ(static_cast<unsigned>(orph_led_colour(panel, 0)), off);
    const unsigned char lightPower[] = {'L', 0x80, 0x01, '\r'};
    orph_receive_from_app(panel, lightPower, sizeof lightPower);
    ASSERT_EQ(1, orph_led_state(panel, 0));
    ASSERT_EQ(1, orph_render_panel(panel, pixels.data(), static_cast<int>(pixels.size()), &width, &height));
    EXPECT_NE(off, pixels[led]);
    EXPECT_EQ(static_cast<unsigned>(orph_led_colour(panel, 0)), pixels[led]);
}

}  // namespace
