// The design editor through the real window: keys and LEDs drawn, moved and edited with Shift,
// the mouse and the property dialogs; the saved design read back with the core's reader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "design/design_file.h"
#include "design/design_lcd.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "harness/ui_driver.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_painter.h"

namespace {

constexpr UINT kDefineKeys = 32800, kDefineLeds = 32801, kSave = 32771;

// The design file as the panel saved it, read with this program's own copy of the core.
class SavedDesign {
public:
    explicit SavedDesign(const std::string& path) {
        if (!DesignLists().keys) CreateDesignLists();
        ok_ = LoadDesign(path.c_str()) == 1;
    }
    ~SavedDesign() {
        SetCurrentLcdType(nullptr);
        ResetLedSelectionCache();
        ResetDesign();
        ReleasePlate();
    }
    bool ok() const { return ok_; }
    stPanelObject* Key(const char* name) const { return Find(DesignLists().keys, name); }
    stPanelObject* Led(const char* name) const { return Find(DesignLists().leds, name); }
    int Keys() const { return DesignLists().keys->count; }
    int Leds() const { return DesignLists().leds->count; }

private:
    static stPanelObject* Find(stObjList* list, const char* name) {
        for (stListNode* n = list ? list->first : nullptr; n; n = n->next) {
            auto* o = static_cast<stPanelObject*>(n->item);
            if (o->name && std::strcmp(o->name, name) == 0) return o;
        }
        return nullptr;
    }
    bool ok_ = false;
};

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

class DesignEditor : public ::testing::Test {
protected:
    void Start(const TestDesign& design = TestDesign{}) {
        path = MakeTempWorkDir("editor") + "\\panel.orp";
        ASSERT_TRUE(WriteTestDesign(path, design));
        TestSettings settings;
        settings.fileCfg = path;
        panel = std::make_unique<PanelSession>(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
        ASSERT_TRUE(panel->ok()) << panel->error();
        window = panel->panel();
        ASSERT_TRUE(WaitUntil([&] { return WindowText(window).find("panel.orp") != std::string::npos; }));
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(window);
        // The conversions of this program's core then match the panel's.
        ResetGeometry();
        ASSERT_EQ(1, MeasureScreen(window));
        mouse = std::make_unique<PanelMouse>(window);
    }
    void TearDown() override {
        KeyUp(VK_SHIFT);
        if (panel) panel->Stop();
    }
    void Command(UINT id) { PostMessageA(window, WM_COMMAND, id, 0); }
    // Draws a band with Shift held and returns the property dialog it opens.
    HWND DrawWithShift(int fromX, int fromY, int toX, int toY, const char* title) {
        KeyDown(VK_SHIFT);
        mouse->Drag(fromX, fromY, toX, toY);
        KeyUp(VK_SHIFT);
        return WaitForDialog(window, title);
    }
    void Save() {
        const FILETIME before = WriteTime(path);
        Sleep(0);
        Command(kSave);
        EXPECT_TRUE(WaitUntil([&] {
            FILETIME now = WriteTime(path);
            return CompareFileTime(&now, &before) != 0;
        })) << "the design was not saved";
        // The file is complete when the command returned: a message after it is answered.
        SendMessageA(window, WM_NULL, 0, 0);
    }

    std::string path;
    std::unique_ptr<PanelSession> panel;
    HWND window = nullptr;
    std::unique_ptr<PanelMouse> mouse;
};

TEST_F(DesignEditor, DrawnKeyIsNamedNumberedAndSaved) {
    Start();
    Command(kDefineKeys);
    ASSERT_TRUE(WaitUntil([&] { return (GetMenuState(GetMenu(window), kDefineKeys, MF_BYCOMMAND) & MF_CHECKED) != 0; }));
    HWND dialog = DrawWithShift(80, 90, 30, 60, "Key properties");  // bottom right to top left
    ASSERT_NE(nullptr, dialog) << "no key dialog";
    EXPECT_EQ("KEY", ItemText(dialog, 1210));
    EXPECT_EQ("2", ItemText(dialog, 1212));  // keys 0 and 1 exist
    EXPECT_EQ("30", ItemText(dialog, 1216));
    EXPECT_EQ("60", ItemText(dialog, 1217));
    EXPECT_EQ("50", ItemText(dialog, 1214));
    EXPECT_EQ("30", ItemText(dialog, 1215));
    SetItemText(dialog, 1210, "Start");
    SetItemText(dialog, 1211, "Starts the run");
    SetItemText(dialog, 1212, "9");
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    Save();

    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(3, saved.Keys());
    stPanelObject* key = saved.Key("Start");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(9, key->id());
    EXPECT_STREQ("Starts the run", key->tooltip);
    EXPECT_EQ(ToLogical(30, 0), key->logicalRect().x);
    EXPECT_EQ(ToLogical(60, 1), key->logicalRect().y);
    EXPECT_EQ(ToLogical(50, 0), key->logicalRect().width);
    EXPECT_EQ(ToLogical(30, 1), key->logicalRect().height);
}

}  // namespace
