// Screenshots for docs/building-a-design.md: a design built from the demo front plate with the
// mouse and the dialogs. Runs only when scripts/make_design_guide.sh sets ORP_GUIDE_DIR (the demo
// work directory) and ORP_GUIDE_SHOTS (where the pictures go); otherwise it is skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/alloc.h"
#include "design/design_file.h"
#include "design/front_plate.h"
#include "design/object_model.h"
#include "harness/panel_session.h"
#include "harness/ui_driver.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace {

std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    return GetEnvironmentVariableA(name, value, sizeof value) ? value : "";
}

std::string g_demoDir;

void CopyLibrary(const std::string& workDir) {
    CreateDirectoryA((workDir + "\\ORPDesigns").c_str(), nullptr);
    CreateDirectoryA((workDir + "\\ORPDesigns\\LCDs").c_str(), nullptr);
    for (const char* name : {"Standard.lcd", "Spezial.lcd"})
        CopyFileA((g_demoDir + "\\ORPDesigns\\LCDs\\" + name).c_str(),
                  (workDir + "\\ORPDesigns\\LCDs\\" + name).c_str(), FALSE);
}

// A design that holds nothing but the demo's front plate.
bool WritePlateOnlyDesign(const std::string& plate, const std::string& path) {
    if (!TestPanel().design.keys) CreatePanelLists(TestPanel());
    ResetDesign(TestPanel().design);
    std::size_t size = 0;
    int32_t shortSize = 0;
    uint8_t* image = ReadPlateFile(TestPanel().heap, plate.c_str(), &size, &shortSize);
    if (!image) return false;
    SetPlateImage(TestPanel().design.plate, image, static_cast<uint32_t>(size), shortSize);
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
    const int ok = SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str());
    ReleasePlate(TestPanel().design.plate);
    return ok == 1;
}

// Gives queued mouse input time to reach the picture. Only the pictures wait like this; the
// test asserts nothing on it.
void Settle() { WaitUntil([] { return false; }, 300); }

class Shooter {
public:
    Shooter(HWND panel, std::string dir) : panel_(panel), dir_(std::move(dir)) {}
    // The panel and the dialog in front of it, if any.
    void Shot(const char* name, HWND dialog = nullptr) {
        if (dialog) RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Settle();
        UpdateWindow(panel_);
        SendMessageA(panel_, WM_NULL, 0, 0);  // the panel's pending paints are done
        RECT area;
        GetWindowRect(panel_, &area);
        if (dialog) {
            RECT d;
            GetWindowRect(dialog, &d);
            UnionRect(&area, &area, &d);
        }
        EXPECT_TRUE(SaveScreenRect(area, dir_ + "\\" + name + ".bmp")) << name;
    }

private:
    HWND panel_;
    std::string dir_;
};

// The colour chooser opened by a colour button of the LED dialog, worked through its red,
// green and blue fields.
bool ChooseColour(HWND panel, HWND dialog, int button, int red, int green, int blue) {
    ClickItem(dialog, button);
    HWND chooser = WaitForDialog(panel, "Color");
    if (!chooser) return false;
    SetItemText(chooser, 706, std::to_string(red));
    SetItemText(chooser, 707, std::to_string(green));
    SetItemText(chooser, 708, std::to_string(blue));
    ClickItem(chooser, IDOK);
    return WaitUntilClosed(chooser);
}

void Fill(HWND dialog, const char* name, const char* tooltip, int id) {
    SetItemText(dialog, 1210, name);
    SetItemText(dialog, 1211, tooltip);
    SetItemText(dialog, 1212, std::to_string(id));
}

TEST(DesignGuide, BuildsTheDemoPanelWithTheMouse) {
    g_demoDir = Environment("ORP_GUIDE_DIR");
    const std::string shots = Environment("ORP_GUIDE_SHOTS");
    if (g_demoDir.empty() || shots.empty()) GTEST_SKIP() << "only for scripts/make_design_guide.sh";

    // In the demo directory, whose path the script chose for the title the pictures show.
    const std::string path = g_demoDir + "\\ORPDesigns\\mydevice.orp";
    ASSERT_TRUE(WritePlateOnlyDesign(g_demoDir + "\\ORPDesigns\\demo_front.bmp", path));
    TestSettings settings;
    settings.fileCfg = path;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY, settings, CopyLibrary);
    ASSERT_TRUE(panel.ok()) << panel.error();
    ASSERT_TRUE(panel.AcknowledgeResetAnnouncement());
    HWND window = panel.panel();
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window).find("mydevice") != std::string::npos; }));
    SetWindowPos(window, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(window);
    HMENU lcds = GetSubMenu(GetMenu(window), 4);
    ASSERT_TRUE(WaitUntil([&] { return GetMenuItemCount(lcds) >= 1 && GetSubMenu(lcds, 0); }));
    Shooter shooter(window, shots);
    PanelMouse mouse(window);

    // 1. The LCD from the library follows the mouse until a click places it.
    PostMessageA(window, WM_COMMAND, 32891, 0);  // Standard: 2x16 yellow-green
    mouse.MoveTo(60, 80);
    mouse.MoveTo(68, 86);
    Settle();
    shooter.Shot("guide-1-place-lcd");
    mouse.LeftDown(68, 86);
    mouse.LeftUp(68, 86);

    // 2. Keys: the key tool, Shift and a band over each key of the plate.
    PostMessageA(window, WM_COMMAND, 32800, 0);
    struct Key {
        const char* name;
        int id;
        RECT r;
    };
    const Key keys[] = {{"F1", 0, {48, 196, 112, 228}},  {"F2", 1, {122, 196, 186, 228}},
                        {"F3", 2, {196, 196, 260, 228}}, {"F4", 3, {270, 196, 334, 228}},
                        {"OK", 6, {446, 106, 496, 154}}, {"Start", 9, {396, 264, 490, 316}},
                        {"Stop", 10, {506, 264, 600, 316}}};
    bool first = true;
    for (const Key& key : keys) {
        PostShiftDrag(window, key.r.left, key.r.top, key.r.right, key.r.bottom, !first);
        if (first) {
            Settle();
            shooter.Shot("guide-2-key-band");
            PostMouse(window, WM_LBUTTONUP, MK_SHIFT, key.r.right, key.r.bottom);
            PostShiftUp(window);
        }
        HWND dialog = WaitForDialog(window, "Key properties");
        ASSERT_NE(nullptr, dialog) << key.name;
        Fill(dialog, key.name, key.name, key.id);
        if (first) shooter.Shot("guide-3-key-dialog", dialog);
        first = false;
        ClickItem(dialog, IDOK);
        ASSERT_TRUE(WaitUntilClosed(dialog));
    }

    // 3. LEDs: a circle from the centre outwards; RUN gets a second identifier.
    PostMessageA(window, WM_COMMAND, 32801, 0);
    struct Led {
        const char* name;
        int id;
        POINT centre;
        bool multicolour;
        int on[3];
    };
    const Led leds[] = {{"POWER", 0, {78, 296}, false, {40, 230, 60}}, {"RUN", 1, {154, 296}, true, {40, 230, 60}}};
    for (const Led& led : leds) {
        PostShiftDrag(window, led.centre.x, led.centre.y, led.centre.x + 8, led.centre.y + 3);
        HWND dialog = WaitForDialog(window, "LED characteristics");
        ASSERT_NE(nullptr, dialog) << led.name;
        Fill(dialog, led.name, led.name, led.id);
        EXPECT_TRUE(ChooseColour(window, dialog, 1220, led.on[0], led.on[1], led.on[2])) << "colour chooser";
        EXPECT_TRUE(ChooseColour(window, dialog, 1221, 24, 44, 24)) << "colour chooser";
        if (led.multicolour) {
            ClickItem(dialog, 1224);
            ASSERT_TRUE(WaitUntil([&] { return ItemVisible(dialog, 1213); }));
            EXPECT_TRUE(ChooseColour(window, dialog, 1222, 240, 40, 30)) << "colour chooser";
            shooter.Shot("guide-4-led-dialog", dialog);
        }
        ClickItem(dialog, IDOK);
        ASSERT_TRUE(WaitUntilClosed(dialog));
    }
    shooter.Shot("guide-5-design-mode");

    // 4. The object list and the model.
    PostMessageA(window, WM_COMMAND, 32803, 0);
    HWND list = WaitForDialog(window, "Objects");
    ASSERT_NE(nullptr, list);
    HWND box = GetDlgItem(list, 1236);
    SendMessageA(box, LB_SETCURSEL, 4, 0);
    PostMessageA(list, WM_COMMAND, MAKEWPARAM(1236, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    Settle();
    shooter.Shot("guide-6-object-list", list);
    ClickItem(list, IDOK);
    ASSERT_TRUE(WaitUntilClosed(list));

    PostMessageA(window, WM_COMMAND, 32802, 0);
    HWND model = WaitForDialog(window, "Front panel model");
    ASSERT_NE(nullptr, model);
    SetItemText(model, 1251, "1");
    SetItemText(model, 1253, "7");
    SetItemText(model, 1254, "2");
    ClickItem(model, 1261);
    WaitUntil([&] { return IsDlgButtonChecked(model, 1261) == BST_CHECKED; });
    shooter.Shot("guide-7-model", model);
    ClickItem(model, IDOK);
    ASSERT_TRUE(WaitUntilClosed(model));

    // 5. Save and operate: objects hidden, the host writes to the LCD and lights RUN.
    PostMessageA(window, WM_COMMAND, 32771, 0);
    PostMessageA(window, WM_COMMAND, 32789, 0);
    panel.Send("WHello, panel!\r");
    EXPECT_EQ("\x06\r", panel.NextFrame());
    panel.Send("O\x03\r");  // POWER and RUN on
    EXPECT_EQ("\x06\r", panel.NextFrame());
    Settle();
    shooter.Shot("guide-8-operating");
}

}  // namespace
