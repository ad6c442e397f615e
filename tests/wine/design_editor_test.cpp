// The design editor through the real window: keys and LEDs drawn, moved and edited with Shift,
// the mouse and the property dialogs; the saved design read back with the core's reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/alloc.h"
#include "design/design_file.h"
#include "design/design_lcd.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "harness/ui_driver.h"
#include "lcd/charset.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_library.h"
#include "lcd/lcd_painter.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace {

constexpr UINT kDefineKeys = 32800, kDefineLeds = 32801, kSave = 32771;

// The design file as the panel saved it, read with this program's own copy of the core.
class SavedDesign {
public:
    explicit SavedDesign(const std::string& path) {
        if (!TestPanel().design.keys) CreatePanelLists(TestPanel());
        ok_ = LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()) == 1;
    }
    ~SavedDesign() {
        SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
        ResetLedSelectionCache(TestPanel().design);
        ResetDesign(TestPanel().design);
        ReleasePlate(TestPanel().design.plate);
    }
    bool ok() const { return ok_; }
    stPanelObject* Key(const char* name) const { return Find(TestPanel().design.keys, name); }
    stPanelObject* Led(const char* name) const { return Find(TestPanel().design.leds, name); }
    int Keys() const { return TestPanel().design.keys->count; }
    int Leds() const { return TestPanel().design.leds->count; }

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

// A library with one type that uses the character set 'C': 16 x 2 cells of 2 x 2-pixel dots.
void WriteLcdLibrary(const std::string& workDir) {
    CreateDirectoryA((workDir + "\\ORPDesigns").c_str(), nullptr);
    CreateDirectoryA((workDir + "\\ORPDesigns\\LCDs").c_str(), nullptr);
    const std::string plain =
        "KAVO1[LCD TYPES]\n"
        "Name=CFont 16x2\nLines=2\nCharacters=16\nFont=C\nw=55\nh=10\ncharX=2.65\ncharY=4.24\n"
        "dotX=0.53\ndotY=0.53\nBlColorOn=255,255,255\nBlColorOff=128,128,128\nTextColor=0,64,0\n";
    const std::string encoded = EncodeLcdFile(plain.data(), plain.size());
    std::FILE* file = std::fopen((workDir + "\\ORPDesigns\\LCDs\\Bench.lcd").c_str(), "wb");
    if (!file) return;
    std::fwrite(encoded.data(), 1, encoded.size(), file);
    std::fclose(file);
}

// The same type as this program's core reads it, laid out at a client position.
struct LibraryType {
    LibraryType(int x, int y) {
        list = NewObjList(TestPanel().heap);
        const std::string plain =
            "KAVO1[LCD TYPES]\nName=CFont 16x2\nLines=2\nCharacters=16\nFont=C\nw=55\nh=10\ncharX=2.65\n"
            "charY=4.24\ndotX=0.53\ndotY=0.53\n";
        ParseLcdText(TestPanel().monitor, plain.data(), plain.size(), 0, list);
        type = list->count ? static_cast<stLcdType*>(list->first->item) : nullptr;
        if (type) PlaceLcd(TestPanel().design.scale, TestPanel().lcd, TestPanel().lcdDraw.layout, x, y, type, &TestPanel().lcdDraw.layout.lcdRect, kPlaceAll);
    }
    ~LibraryType() { FreeLcdTypeList(list); }
    stObjList* list;
    stLcdType* type;
};

// Adds keys to the design file written by WriteTestDesign.
bool AddKeys(const std::string& path, int count) {
    if (!TestPanel().design.keys) CreatePanelLists(TestPanel());
    if (LoadDesign(TestPanel().design, DesignLcdOf(TestPanel()), path.c_str()) != 1) return false;
    for (int i = 0; i < count; ++i) {
        auto* key = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
        key->kind = kKindKey;
        key->id() = 2 + i;
        key->name = OrpStrDup(TestPanel().heap, "k");
        key->tooltip = OrpStrDup(TestPanel().heap, "-");
        const int x = i % 240, y = 112 + i / 240;
        key->pixelRect() = stPixelRect{x, y, x + 1, y + 1};
        ObjectToLogical(TestPanel().design.scale, key);
        AppendItem(TestPanel().design.keys, key);
    }
    const int saved = SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str());
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
    ResetDesign(TestPanel().design);
    ReleasePlate(TestPanel().design.plate);
    return saved == 1;
}

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

class DesignEditor : public ::testing::Test {
protected:
    // `extraKeys` more keys of 1 x 1 pixel along the bottom of the plate.
    void Start(int extraKeys = 0, unsigned long options = OPT_ENGLISH | OPT_FILE_COMMANDS) {
        path = MakeTempWorkDir("editor") + "\\panel.orp";
        ASSERT_TRUE(WriteTestDesign(path, TestDesign{}));
        if (extraKeys) {
            ASSERT_TRUE(AddKeys(extraKeys));
        }
        TestSettings settings;
        settings.fileCfg = path;
        panel = std::make_unique<PanelSession>(options, settings, WriteLcdLibrary);
        ASSERT_TRUE(panel->ok()) << panel->error();
        window = panel->panel();
        ASSERT_TRUE(panel->AcknowledgeResetAnnouncement());
        ASSERT_TRUE(WaitUntil([&] { return WindowText(window).find("panel.orp") != std::string::npos; }));
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        // The conversions of this program's core then match the panel's.
        ResetGeometry(TestPanel());
        LcdInvalidateCells(TestPanel().lcdDraw);  // the drawing starts afresh too
        ASSERT_EQ(1, MeasureScreen(window));
        mouse = std::make_unique<PanelMouse>(window);
    }
    void TearDown() override {
        if (panel) panel->Stop();
    }
    bool AddKeys(int count) { return ::AddKeys(path, count); }
    void Command(UINT id) { PostMessageA(window, WM_COMMAND, id, 0); }
    // Chooses a drawing tool and waits until the menu shows it.
    void SelectTool(UINT id) {
        Command(id);
        ASSERT_TRUE(WaitUntil([&] { return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }));
    }
    // Draws a band with Shift held and returns the property dialog it opens.
    void Mouse(UINT message, WPARAM keys, int x, int y) { PostMouse(window, message, keys, x, y); }
    void ShiftDown() { PostShiftDown(window); }
    void ShiftUp() { PostShiftUp(window); }
    void ShiftDrag(int fromX, int fromY, int toX, int toY) { PostShiftDrag(window, fromX, fromY, toX, toY); }
    HWND DrawWithShift(int fromX, int fromY, int toX, int toY, const char* title) {
        ShiftDrag(fromX, fromY, toX, toY);
        HWND dialog = WaitForDialog(window, title);
        if (!dialog) {
            HWND other = AnyDialog(window);
            ADD_FAILURE() << "no dialog \"" << title << "\"; open instead: " << (other ? WindowText(other) : "none");
        }
        return dialog;
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
    SelectTool(kDefineKeys);
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
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 30, 0), key->logicalRect().x);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 60, 1), key->logicalRect().y);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 50, 0), key->logicalRect().width);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 30, 1), key->logicalRect().height);
}

TEST_F(DesignEditor, MulticolourLedMovedKeyAndDeletedLedAreWhatIsSaved) {
    Start();
    SelectTool(kDefineLeds);
    // An LED circle from its centre outwards: radius 8 round (100, 95).
    HWND dialog = DrawWithShift(100, 95, 94, 103, "LED characteristics");
    ASSERT_NE(nullptr, dialog) << "no LED dialog";
    EXPECT_EQ("LED", ItemText(dialog, 1210));
    EXPECT_EQ("1", ItemText(dialog, 1212));  // LED 0 exists
    EXPECT_EQ("8", ItemText(dialog, 1218));
    EXPECT_EQ("100", ItemText(dialog, 1216));
    EXPECT_EQ("95", ItemText(dialog, 1217));
    EXPECT_FALSE(ItemVisible(dialog, 1213));
    ClickItem(dialog, 1224);  // multicolour
    ASSERT_TRUE(WaitUntil([&] { return ItemVisible(dialog, 1213); }));
    EXPECT_EQ("2", ItemText(dialog, 1213)) << "the half gets a free identifier other than the LED's own";
    EXPECT_TRUE(ItemVisible(dialog, 1222));
    SetItemText(dialog, 1210, "Status");
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));

    // Move the key ESC (150, 50, 30 x 20): press with Shift, let go of Shift, release.
    ShiftDown();
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 160, 60);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 150, 70);
    Mouse(WM_LBUTTONUP, MK_SHIFT, 150, 70);  // Shift still held: the move goes on
    Mouse(WM_MOUSEMOVE, MK_SHIFT, 140, 90);
    ShiftUp();
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 140, 90);
    Mouse(WM_LBUTTONUP, 0, 140, 90);

    // Delete the LED RUN (200, 80, 16 x 16) from its dialog, opened with a right click.
    mouse->RightClick(208, 88);
    dialog = WaitForDialog(window, "LED characteristics");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("RUN", ItemText(dialog, 1210));
    ClickItem(dialog, 3);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    Save();

    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(nullptr, saved.Led("RUN"));
    ASSERT_EQ(1, saved.Leds());
    stPanelObject* led = saved.Led("Status");
    ASSERT_NE(nullptr, led);
    EXPECT_EQ(1, led->id());
    EXPECT_EQ(1, led->multicolour);
    ASSERT_NE(nullptr, led->second);
    EXPECT_EQ(2, led->second->id());
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 92, 0), led->logicalRect().x);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 87, 1), led->logicalRect().y);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 16, 0), led->logicalRect().width);
    // ESC was shown where its stored nanometres fall on this screen, and moved by (-20, +30).
    constexpr int32_t kStoredNmPerPixel = 264583;
    const int left0 = ToPixels(TestPanel().design.scale, 150 * kStoredNmPerPixel, 0), top0 = ToPixels(TestPanel().design.scale, 50 * kStoredNmPerPixel, 1);
    stPanelObject* esc = saved.Key("ESC");
    ASSERT_NE(nullptr, esc);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, left0 - 20, 0), esc->logicalRect().x);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, top0 + 30, 1), esc->logicalRect().y);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, ToPixels(TestPanel().design.scale, 30 * kStoredNmPerPixel, 0), 0), esc->logicalRect().width);
    stPanelObject* ok = saved.Key("OK");
    ASSERT_NE(nullptr, ok);
    EXPECT_EQ(150 * kStoredNmPerPixel, ok->logicalRect().x) << "the other key stays";
}

TEST_F(DesignEditor, CancelLeavesTheObjectAndAnInvalidIdKeepsTheDialogOpen) {
    Start();
    // Save is offered only while the design has changes (the File menu prepares itself).
    auto saveEnabled = [&] {
        HMENU file = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        return (GetMenuState(file, kSave, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    };
    EXPECT_FALSE(saveEnabled());
    mouse->RightClick(160, 30);  // the key OK, also without a drawing tool
    HWND dialog = WaitForDialog(window, "Key properties");
    ASSERT_NE(nullptr, dialog);
    SetItemText(dialog, 1210, "Changed");
    ClickItem(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(dialog));

    mouse->RightClick(160, 30);
    dialog = WaitForDialog(window, "Key properties");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("OK", ItemText(dialog, 1210)) << "Cancel changed the key";
    SetItemText(dialog, 1212, "300");
    ClickItem(dialog, IDOK);
    HWND box = WaitForDialog(window, "Eigenschaften");
    ASSERT_NE(nullptr, box) << "no range message";
    EXPECT_EQ("Bitte die ID im Bereich von 0-255 angeben", MessageBoxText(box));
    ClickItem(box, IDOK);
    ASSERT_TRUE(WaitUntilClosed(box));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    SetItemText(dialog, 1212, "7");
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    EXPECT_TRUE(saveEnabled());

    // A right click inside the LCD opens the model dialog, in operating mode too.
    mouse->RightClick(60, 30);
    HWND model = WaitForDialog(window, "Front panel model");
    ASSERT_NE(nullptr, model) << "no model dialog from the LCD";
    ClickItem(model, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(model));

    // The design is modified: closing asks, and Cancel keeps the panel.
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND question = WaitForDialog(window, "ORPpanel");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ("M\xF6" "chten Sie das aktuelle Dokument Speichern?", MessageBoxText(question));
    ClickItem(question, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(question));
    EXPECT_TRUE(IsWindow(window));
    Save();
    EXPECT_FALSE(saveEnabled());
    std::string lowered = path;
    CharLowerA(&lowered[0]);
    EXPECT_EQ("ORPpanel - " + lowered, WindowText(window)) << "the title still names the design";
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    ASSERT_NE(nullptr, saved.Key("OK"));
    EXPECT_EQ(7, saved.Key("OK")->id());
}

TEST_F(DesignEditor, TheKeyAfterTheLastIsRefusedWithTheMessage) {
    Start(254);  // 256 keys
    SelectTool(kDefineKeys);
    ShiftDrag(30, 60, 80, 90);
    HWND box = WaitForDialog(window, "ORPpanel");
    ASSERT_NE(nullptr, box) << "no message";
    EXPECT_EQ("Maximale Anzahl an Tasten erreicht!", MessageBoxText(box));
    ClickItem(box, IDOK);
    ASSERT_TRUE(WaitUntilClosed(box));
    EXPECT_EQ(nullptr, AnyDialog(window)) << "a key dialog opened";
    Save();
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(256, saved.Keys());
}

TEST_F(DesignEditor, LcdPlacedFromTheLibraryShowsItsCharacterSetAndKeepsItsTextWithoutBacklight) {
    Start(0, OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY);
    HMENU lcds = GetSubMenu(GetMenu(window), 4);
    ASSERT_TRUE(WaitUntil([&] { return GetMenuItemCount(lcds) == 1 && GetSubMenu(lcds, 0); }));

    // The model: the LCD may switch its backlight; 300 keys; a plate 100.5 mm wide.
    Command(32802);
    HWND model = WaitForDialog(window, "Front panel model");
    ASSERT_NE(nullptr, model);
    EXPECT_EQ("Test 2x16", ItemText(model, 1258));
    EXPECT_EQ("16", ItemText(model, 1259));
    // The LCD's pixel position on this screen.
    EXPECT_EQ(std::to_string(ToPixels(TestPanel().design.scale, 20 * 264583, 0)), ItemText(model, 1216));
    ClickItem(model, 1261);
    SetItemText(model, 1253, "300");
    SetItemText(model, 1256, "100.5");
    ASSERT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(model, 1261) == BST_CHECKED; }));
    ClickItem(model, IDOK);
    ASSERT_TRUE(WaitUntilClosed(model));

    Command(32860);  // the library type
    mouse->MoveTo(40, 60);
    mouse->LeftDown(10, 75);
    mouse->LeftUp(10, 75);
    ASSERT_TRUE(WaitUntil([&] { return (GetMenuState(lcds, 32860, MF_BYCOMMAND) & MF_CHECKED) != 0; }))
        << "the placed type is not checked";

    LibraryType lcd(10, 75);
    ASSERT_NE(nullptr, lcd.type);
    const stLcdLayout& g = TestPanel().lcdDraw.layout;
    const uint32_t* c = LcdCharSetC() + 0x5C * 8;
    const uint32_t* n = LcdCharSetN() + 0x5C * 8;
    POINT onlyC{-1, -1}, onlyN{-1, -1};
    for (int row = 0; row < 8; ++row)
        for (int d = 0; d < 5; ++d) {
            const uint32_t bit = 0x10u >> d;
            const POINT at{g.columnX[0] + d * g.dotWidth, g.lineRects[0][1] + row * g.dotHeight};
            if ((c[row] & bit) && !(n[row] & bit)) onlyC = at;
            if ((n[row] & bit) && !(c[row] & bit)) onlyN = at;
        }
    ASSERT_GE(onlyC.x, 0);
    ASSERT_GE(onlyN.x, 0);

    panel->Send("W\x5C\r");
    EXPECT_EQ("\x06\r", panel->NextFrame());
    constexpr COLORREF kText = 0x00004000, kBacklightOn = 0x00FFFFFF, kBacklightOff = 0x00808080;
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, onlyC.x, onlyC.y) == kText; }))
        << "set C glyph not shown: " << std::hex << ClientPixel(window, onlyC.x, onlyC.y);
    EXPECT_EQ(kBacklightOn, ClientPixel(window, onlyN.x, onlyN.y)) << "a dot of set N is lit";

    panel->Send(std::string("B\x00\r", 3));  // backlight off
    EXPECT_EQ("\x06\r", panel->NextFrame());
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, onlyN.x, onlyN.y) == kBacklightOff; }))
        << std::hex << ClientPixel(window, onlyN.x, onlyN.y);
    EXPECT_EQ(kText, ClientPixel(window, onlyC.x, onlyC.y)) << "the text vanished with the backlight";

    // The model dialog keeps what was entered.
    Command(32802);
    model = WaitForDialog(window, "Front panel model");
    ASSERT_NE(nullptr, model);
    EXPECT_EQ("44", ItemText(model, 1253));
    EXPECT_EQ("100.50", ItemText(model, 1256));
    EXPECT_EQ("CFont 16x2", ItemText(model, 1258));
    EXPECT_EQ("10", ItemText(model, 1216));
    EXPECT_EQ("75", ItemText(model, 1217));
    ClickItem(model, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(model));

    Save();
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    stLcdType* stored = CurrentLcdType(TestPanel().lcdDraw);
    ASSERT_NE(nullptr, stored);
    EXPECT_STREQ("CFont 16x2", stored->name);
    EXPECT_STREQ("C", stored->font);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 10, 0), stored->placement.logicalRect.x);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, 75, 1), stored->placement.logicalRect.y);
    EXPECT_EQ(44, TestPanel().design.model.keyCount);
    EXPECT_EQ(MODEL_BACKLIGHT_SWITCH, TestPanel().design.model.options);
}

TEST_F(DesignEditor, EscapeDuringLcdPlacementKeepsTheOldLcd) {
    Start(0, OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY);
    HMENU lcds = GetSubMenu(GetMenu(window), 4);
    ASSERT_TRUE(WaitUntil([&] { return GetMenuItemCount(lcds) == 1 && GetSubMenu(lcds, 0); }));
    constexpr COLORREF kOldBackground = 0x0080C0A0;  // the test design's LCD, backlight off
    ASSERT_TRUE(WaitUntil([&] { return ClientPixel(window, 60, 45) == kOldBackground; }));

    Command(32860);
    mouse->MoveTo(30, 70);
    mouse->MoveTo(40, 75);
    PostMessageA(window, WM_CHAR, VK_ESCAPE, 0);
    // After Escape a click places nothing.
    mouse->LeftDown(40, 75);
    mouse->LeftUp(40, 75);
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, 60, 45) == kOldBackground; }));
    EXPECT_EQ(0u, GetMenuState(lcds, 32860, MF_BYCOMMAND) & MF_CHECKED);
    Save();
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    ASSERT_NE(nullptr, CurrentLcdType(TestPanel().lcdDraw));
    EXPECT_STREQ("Test 2x16", CurrentLcdType(TestPanel().lcdDraw)->name);
    EXPECT_EQ(ToLogical(TestPanel().design.scale, ToPixels(TestPanel().design.scale, 20 * 264583, 0), 0), CurrentLcdType(TestPanel().lcdDraw)->placement.logicalRect.x);
}

std::string ListLine(HWND box, int index) {
    const LRESULT length = SendMessageA(box, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return "<none>";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

// Selects a line as a click does, or double clicks it.
void PickLine(HWND dialog, int listId, int index, bool doubleClick) {
    HWND box = GetDlgItem(dialog, listId);
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, doubleClick ? LBN_DBLCLK : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

TEST_F(DesignEditor, ObjectListFramesTheSelectedObjectAndEditsItOnDoubleClick) {
    Start();
    Command(32803);
    HWND dialog = WaitForDialog(window, "Objects");
    ASSERT_NE(nullptr, dialog);
    HWND box = GetDlgItem(dialog, 1236);
    ASSERT_EQ(4, SendMessageA(box, LB_GETCOUNT, 0, 0));
    const std::string okLine = ListLine(box, 0);
    EXPECT_EQ(0u, okLine.find("Type: Key  \tName: OK                       \tID:00\tX:")) << okLine;
    EXPECT_NE(std::string::npos, okLine.find("\tWidth:0")) << okLine;
    EXPECT_EQ("", ListLine(box, 2));
    EXPECT_EQ(0u, ListLine(box, 3).find("Type: LED  \tName: RUN                      \tID1:00\tID2:-1\tX:"))
        << ListLine(box, 3);

    // ESC is framed in yellow, ANDed with the plate.
    PickLine(dialog, 1236, 1, false);
    const int left = ToPixels(TestPanel().design.scale, 150 * 264583, 0), middle = ToPixels(TestPanel().design.scale, 60 * 264583, 1);
    constexpr COLORREF kYellowOnPlate = 0x00406080 & 0x0000FFFF;
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, left, middle) == kYellowOnPlate; }))
        << std::hex << ClientPixel(window, left, middle);

    PickLine(dialog, 1236, 2, true);  // the empty line: nothing opens
    PickLine(dialog, 1236, 1, true);
    HWND key = WaitForDialog(window, "Key properties");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ("ESC", ItemText(key, 1210));
    SetItemText(key, 1210, "Back");
    ClickItem(key, IDOK);
    ASSERT_TRUE(WaitUntilClosed(key));
    EXPECT_TRUE(WaitUntil([&] { return ListLine(box, 1).find("Name: Back ") != std::string::npos; })) << ListLine(box, 1);
    EXPECT_EQ(4, SendMessageA(box, LB_GETCOUNT, 0, 0));
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    Save();
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    EXPECT_NE(nullptr, saved.Key("Back"));
}

TEST_F(DesignEditor, TipsAreAddedDeletedAndTimedAsEntered) {
    Start();
    Command(32804);
    HWND dialog = WaitForDialog(window, "Tips for the front panel operation");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(" 7", ItemText(dialog, 1232));
    HWND box = GetDlgItem(dialog, 1233);
    SetItemText(dialog, 1231, "Press OK to start");
    ClickItem(dialog, 1234);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) == 1; }));
    EXPECT_EQ("Press OK to start", ListLine(box, 0)) << "a new tip is listed with its bare text";
    EXPECT_EQ("", ItemText(dialog, 1231));
    SetItemText(dialog, 1231, "ESC goes back");
    ClickItem(dialog, 1234);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) == 2; }));
    ClickItem(dialog, 1235);  // nothing selected: nothing deleted
    SendMessageA(box, LB_SETCURSEL, 0, 0);
    ClickItem(dialog, 1235);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) == 1; }));
    SetItemText(dialog, 1232, "3");
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));

    Command(32804);
    dialog = WaitForDialog(window, "Tips for the front panel operation");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("01\tTip: ESC goes back            ", ListLine(GetDlgItem(dialog, 1233), 0));
    EXPECT_EQ(" 3", ItemText(dialog, 1232));
    SetItemText(dialog, 1232, "0");  // below a second: the default interval
    ClickItem(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    Save();
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    ASSERT_EQ(1, TestPanel().design.tips->count);
    EXPECT_STREQ("ESC goes back", static_cast<stTextItem*>(TestPanel().design.tips->first->item)->text);
    EXPECT_EQ(7000, TestPanel().design.model.tipInterval);
}

std::string RegistrySetting(const char* name) {
    char value[64] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Tavelle\\OrPpanel\\Settings", name, RRF_RT_REG_SZ, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return "<none>";
    return value;
}

TEST_F(DesignEditor, OptionsApplyTheScaleOnOkAndCancelPutsTheValuesBack) {
    Start();
    auto clientWidth = [&] {
        RECT client;
        GetClientRect(window, &client);
        return client.right;
    };
    const LONG full = clientWidth();
    Command(32822);
    HWND dialog = WaitForDialog(window, "Options");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1248));
    ClickItem(dialog, 1249);  // 50 %
    ClickItem(dialog, 1243);  // log Rx/Tx
    ASSERT_TRUE(WaitUntil([&] { return IsDlgButtonChecked(dialog, 1243) == BST_CHECKED; }));
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    EXPECT_TRUE(WaitUntil([&] { return clientWidth() <= full / 2 + 1; })) << clientWidth() << " of " << full;
    EXPECT_EQ("2", RegistrySetting("Scale"));
    EXPECT_EQ("1", RegistrySetting("RxTxLog"));

    Command(32822);
    dialog = WaitForDialog(window, "Options");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1249));
    ClickItem(dialog, 1248);
    ClickItem(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    Command(32822);
    dialog = WaitForDialog(window, "Options");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, 1249)) << "Cancel kept a changed scale";
    ClickItem(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    EXPECT_LE(clientWidth(), full / 2 + 1);
}

TEST_F(DesignEditor, GermanKeyDialogProposesItsDefaults) {
    Start(0, OPT_FILE_COMMANDS);
    SelectTool(kDefineKeys);
    HWND dialog = DrawWithShift(30, 60, 80, 90, "Eigenschaften zur Taste");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Taste", ItemText(dialog, 1210));
    EXPECT_EQ("-", ItemText(dialog, 1211));
    EXPECT_EQ("2", ItemText(dialog, 1212));
    EXPECT_EQ("L\xF6schen", ItemText(dialog, 3));
    ClickItem(dialog, IDOK);
    ASSERT_TRUE(WaitUntilClosed(dialog));
    Save();
    SavedDesign saved(path);
    ASSERT_TRUE(saved.ok());
    stPanelObject* key = saved.Key("Taste");
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(2, key->id());
    EXPECT_STREQ("-", key->tooltip);
}

}  // namespace
