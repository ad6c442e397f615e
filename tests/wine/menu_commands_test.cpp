// The main window's menus as a person sees them: texts and states after each pop-up's
// preparation, the status line help, the drawing tool commands, the LCDs menu's whole id range,
// resizing at the screen edge and the start-up trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "harness/modal_dialogs.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "lcd/lcd_library.h"
#include "ui/language_resources.h"

namespace {

std::string MenuText(HMENU menu, UINT id) {
    char text[256] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}
bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

// What the window does when the pop-up at `position` of its menu bar opens.
void Prepare(HWND window, int position) {
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(window), position)),
                 MAKELPARAM(position, FALSE));
}

HWND StatusLineOf(HWND panel) { return FindWindowExA(panel, nullptr, "static", nullptr); }

// Mouse moves over the panel write the coordinates into the status line: keep the mouse away.
void MoveMouseAway() { SetCursorPos(0, 0); }

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

TEST(Menus, PreparationRewritesTextsAndStatesInBothLanguages) {
    struct Texts {
        unsigned long options;
        const char *save, *saveAs, *exportPlate, *connect, *settings, *lcdPanel;
    };
    const Texts languages[] = {
        {0, "Design &Speichern\tStrg+S", "Design Speichern unter...\tStrg+U",
         "&Frontplatte (BMP) exportieren...\tStrg+Umschalt+B", "&Verbinden\tCtrl+C", "&Kommunikationseinstellungen...",
         "&LCD Steuerung"},
        {OPT_ENGLISH, "&Save design\tStrg+S", "Save design &as...\tStrg+U",
         "&Export front panel (BMP)...\tStrg+Umschalt+B", "&Connect\tCtrl+C", "Communication &Settings...",
         "&LCD Control panel"},
    };
    for (const Texts& t : languages) {
        SCOPED_TRACE(t.connect);
        PanelSession panel(t.options | OPT_FILE_COMMANDS);
        ASSERT_TRUE(panel.ok()) << panel.error();
        HWND window = panel.panel();
        HMENU bar = GetMenu(window);

        // No front plate and nothing modified: the three entries are greyed.
        Prepare(window, 0);
        EXPECT_EQ(t.save, MenuText(bar, 32771));
        EXPECT_EQ(t.saveAs, MenuText(bar, 32776));
        EXPECT_EQ(t.exportPlate, MenuText(bar, 32781));
        EXPECT_TRUE(Greyed(bar, 32771) && Greyed(bar, 32776) && Greyed(bar, 32781));

        Prepare(window, 2);
        EXPECT_FALSE(Checked(bar, 32820));
        SendMessageA(window, WM_COMMAND, 32820, 0);  // shows the monitor
        Prepare(window, 2);
        EXPECT_TRUE(Checked(bar, 32820));
        EXPECT_FALSE(Checked(bar, 32821));

        Prepare(window, 3);
        EXPECT_EQ(t.connect, MenuText(bar, 32773));
        EXPECT_EQ(t.settings, MenuText(bar, 32840));
        EXPECT_FALSE(Greyed(bar, 32773) || Greyed(bar, 32840));

        // Without the LCD control panel option its entry greys itself when chosen.
        SendMessageA(window, WM_COMMAND, 32841, 0);
        EXPECT_EQ(t.lcdPanel, MenuText(bar, 32841));
        EXPECT_TRUE(Greyed(bar, 32841));
    }

    // With a design loaded, Save as and Export are available; Save waits for a change.
    std::string design = MakeTempWorkDir("menus") + "\\menus.orp";
    ASSERT_TRUE(WriteTestDesign(design, TestDesign{}));
    TestSettings settings;
    settings.fileCfg = design;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window).find("menus.orp") != std::string::npos; }));
    Prepare(window, 0);
    HMENU bar = GetMenu(window);
    EXPECT_TRUE(Greyed(bar, 32771));
    EXPECT_FALSE(Greyed(bar, 32776) || Greyed(bar, 32781));
}

TEST(Menus, EveryEntryHasStatusLineHelpInGermanAndEnglish) {
    MoveMouseAway();
    PanelSession panel(OPT_ENGLISH);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    HWND status = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (status = StatusLineOf(window)) != nullptr; }));
    const UINT ids[] = {32770, 32771, 32773, 32776, 32777, 32778, 32781, 32782, 32783, 32784, 32788, 32789,
                        32800, 32801, 32802, 32803, 32804, 32820, 32821, 32822, 32840, 32841};
    HINSTANCE dll = panel.dll().module;
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        char german[256], english[256], system[256] = {};
        ASSERT_GT(LoadStringInLanguage(dll, id, false, german, sizeof german), 0);
        ASSERT_GT(LoadStringInLanguage(dll, id, true, english, sizeof english), 0);
        EXPECT_STRNE(german, english);
        LoadStringA(dll, id, system, sizeof system);
        SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(id, MF_STRING | MF_HILITE),
                     reinterpret_cast<LPARAM>(GetMenu(window)));
        EXPECT_TRUE(WaitUntil([&] { return WindowText(status) == system; })) << WindowText(status);
    }
}

TEST(Menus, DrawingToolsMoveTheirMarkAndShowObjectsShowsTheOutlines) {
    std::string design = MakeTempWorkDir("tools") + "\\tools.orp";
    TestDesign plate;
    ASSERT_TRUE(WriteTestDesign(design, plate));
    TestSettings settings;
    settings.fileCfg = design;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    HMENU bar = GetMenu(window);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window).find("tools.orp") != std::string::npos; }));

    // The key "OK" spans x 150 to 180 with its top edge at y 20; its outline is dotted black.
    auto outlined = [&] {
        for (int x = 152; x < 178; ++x)
            if (ClientPixel(window, x, 20) == RGB(0, 0, 0)) return true;
        return false;
    };
    auto plain = [&] {
        for (int x = 152; x < 178; ++x)
            if (ClientPixel(window, x, 20) != plate.plateColour) return false;
        return true;
    };
    ASSERT_TRUE(WaitUntil(plain));
    // The design's LCD frame spans x 20 to 140 with its top edge at y 10.
    auto lcdOutlined = [&] {
        for (int x = 22; x < 138; ++x)
            if (ClientPixel(window, x, 10) == RGB(0, 0, 0)) return true;
        return false;
    };
    EXPECT_FALSE(lcdOutlined());

    SendMessageA(window, WM_COMMAND, 32800, 0);
    EXPECT_TRUE(Checked(bar, 32800));
    EXPECT_TRUE(WaitUntil(outlined)) << "design mode shows the outlines";
    EXPECT_TRUE(WaitUntil(lcdOutlined)) << "the LCD of the design loaded at start-up too";
    SendMessageA(window, WM_COMMAND, 32801, 0);
    EXPECT_FALSE(Checked(bar, 32800));
    EXPECT_TRUE(Checked(bar, 32801));
    SendMessageA(window, WM_COMMAND, 32789, 0);
    EXPECT_FALSE(Checked(bar, 32800) || Checked(bar, 32801));
    EXPECT_TRUE(WaitUntil(plain)) << "operating mode hides them";
    SendMessageA(window, WM_COMMAND, 32788, 0);
    EXPECT_TRUE(WaitUntil(outlined));
    EXPECT_FALSE(Checked(bar, 32800) || Checked(bar, 32801));

    // Ctrl+D has no command behind it.
    std::string before = WindowText(window);
    SendMessageA(window, WM_COMMAND, 32772, 0);
    EXPECT_EQ(before, WindowText(window));
    EXPECT_EQ(nullptr, FindPanelDialog(window));
}

// Thirteen library files of three types each: the last file's types get 34120 to 34122.
void WriteThirteenLcdFiles(const std::string& workDir) {
    CreateDirectoryA((workDir + "\\ORPDesigns").c_str(), nullptr);
    CreateDirectoryA((workDir + "\\ORPDesigns\\LCDs").c_str(), nullptr);
    for (int file = 1; file <= kLcdMaxFiles; ++file) {
        std::string plain = "KAVO1[LCD TYPES]\n";
        for (int type = 1; type <= 3; ++type) {
            char entry[160];
            std::snprintf(entry, sizeof entry, "Name=F%02d T%d\nLines=2\nCharacters=16\nTooltip=Describes F%02d T%d\n",
                          file, type, file, type);
            plain += entry;
        }
        const std::string encoded = EncodeLcdFile(plain.data(), plain.size());
        char name[64];
        std::snprintf(name, sizeof name, "\\ORPDesigns\\LCDs\\Lib%02d.lcd", file);
        std::FILE* out = std::fopen((workDir + name).c_str(), "wb");
        if (!out) continue;
        std::fwrite(encoded.data(), 1, encoded.size(), out);
        std::fclose(out);
    }
}

TEST(LcdMenu, TheLastFilesLaterTypesAreChosenAndDescribed) {
    MoveMouseAway();
    PanelSession panel(OPT_ENGLISH | OPT_LCD_LIBRARY, TestSettings{}, WriteThirteenLcdFiles);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    HMENU bar = GetMenu(window);
    ASSERT_TRUE(WaitUntil([&] { return GetMenuItemCount(GetSubMenu(bar, 4)) == 2 * kLcdMaxFiles - 1; }));
    const UINT last = 34122;
    const std::string name = MenuText(bar, last);
    ASSERT_FALSE(name.empty()) << "no entry " << last;

    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(last, MF_STRING | MF_HILITE), reinterpret_cast<LPARAM>(bar));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(StatusLineOf(window)) == "Describes " + name; }))
        << WindowText(StatusLineOf(window));
    // Choosing it makes it the selection (placing the LCD checks it); choosing another type
    // takes the check mark off again.
    SendMessageA(window, WM_COMMAND, last, 0);
    CheckMenuItem(bar, last, MF_BYCOMMAND | MF_CHECKED);
    SendMessageA(window, WM_COMMAND, 32860, 0);
    EXPECT_FALSE(Checked(bar, last));
}

TEST(PanelWindow, ResizingKeepsTheWindowInsideTheScreen) {
    std::string design = MakeTempWorkDir("edge") + "\\edge.orp";
    ASSERT_TRUE(WriteTestDesign(design, TestDesign{}));
    TestSettings settings;
    settings.fileCfg = design;
    PanelSession panel(OPT_ENGLISH, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window).find("edge.orp") != std::string::npos; }));
    RECT before{};
    GetWindowRect(window, &before);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(window, nullptr, screenWidth - 40, screenHeight - 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(window, WM_USER + 6, 0, 0);  // shows the design again and sizes the window to it
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(screenWidth, after.right);
    EXPECT_EQ(screenHeight, after.bottom);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
}

TEST(PanelWindow, TraceShowsTheSystemVersionAndAMissingDesign) {
    TestSettings settings;
    settings.trace = settings.traceLog = true;
    settings.fileCfg = "C:\\no\\such\\start.orp";
    PanelSession panel(OPT_ENGLISH, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND text = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        HWND trace = FindTopLevelWindow("ORPpanelTraceWnd");
        return trace && (text = GetDlgItem(trace, 3)) != nullptr;
    }));
    EXPECT_TRUE(WaitUntil([&] {
        const std::string shown = WindowText(text);
        return shown.find("Microsoft Windows NT version ") != std::string::npos &&
               shown.find(" (Build ") != std::string::npos &&
               shown.find("Die angegebene Datei c:\\no\\such\\start.orp wurde nicht gefunden") != std::string::npos;
    })) << WindowText(text);
}

}  // namespace
