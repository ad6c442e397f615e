// The context help pop-up, F1 over keys and LEDs, the questions that offer to look for a help
// file, and the About box, as a person sees them.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness/modal_dialogs.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"

namespace {

constexpr UINT kAbout = 32783;
constexpr UINT kHelpFile = 32784;

HWND HelpPopup() { return FindTopLevelWindow("ORPpanelHelpWnd"); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Moves the mouse to a client point of the panel and releases F1 there; returns the screen point.
POINT PressF1At(HWND panel, int x, int y) {
    POINT point{x, y};
    ClientToScreen(panel, &point);
    // Wine moves the display server's pointer too, and pointer events the panel's thread still
    // holds (a pop-up that appeared or vanished under the pointer) can move the cursor back:
    // let the thread take them and move the cursor again until it stays there.
    int steady = 0;
    WaitUntil([&] {
        POINT now{};
        if (GetCursorPos(&now) && now.x == point.x && now.y == point.y) {
            SendMessageA(panel, WM_NULL, 0, 0);
            return ++steady >= 5;
        }
        steady = 0;
        SetCursorPos(point.x, point.y);
        return false;
    });
    PostMessageA(panel, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC0000001u));
    return point;
}

bool PopupShownAt(POINT point) {
    RECT r{};
    HWND popup = HelpPopup();
    return popup && IsWindowVisible(popup) && GetWindowRect(popup, &r) && r.left == point.x && r.top == point.y;
}

// The test design's keys "OK" at (150, 20) and "ESC" at (150, 50), 30 x 20, the LED "RUN" at
// (200, 80), 16 x 16.
const POINT kKeyOk{165, 30};
const POINT kKeyEsc{165, 60};
const POINT kLedRun{208, 88};

struct DesignWithHelp {
    std::string dir = MakeTempWorkDir("help");
    std::string design = dir + "\\help.orp";
    std::string keysOnly = dir + "\\keys.txt";
    std::string complete = dir + "\\complete.txt";
    bool ok = WriteTestDesign(design, TestDesign{}) &&
              WriteText(keysOnly, "[KontextHilfe 1.0]\r\n[Taste]\r\nName=OK\r\nText=Best\xE4tigt.\r\n") &&
              WriteText(complete,
                        "[KontextHilfe 1.0]\r\n[Taste]\r\nName=OK\r\nText=Best\xE4tigt.\r\n\r\nName=ESC\r\n"
                        "Text=Bricht ab.\r\n\r\n[Led]\r\nName=RUN\r\nText=Leuchtet, solange gemessen wird.\r\n");
};

TEST(HelpPopup, ShowsATextInsideTheScreenAndHidesOnClickEscapeAndClose) {
    PanelSession panel(OPT_ENGLISH);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (popup = HelpPopup()) != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_EQ(panel.panel(), GetWindow(popup, GW_OWNER));
    EXPECT_EQ("Hilfe zu OrPpanel", WindowText(popup));

    // The pop-up measures the dialog font; so does the test.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(screen, &tm);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int capital = (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? tm.tmAveCharWidth * 3 / 2 : tm.tmAveCharWidth;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);

    static std::string text;
    for (int i = 0; i < 40; ++i) text += "help ";  // 200 characters
    const int textWidth = 80 * tm.tmAveCharWidth + capital;
    SendMessageA(popup, WM_SETTEXT, MAKEWPARAM(screenWidth - 20, 100), reinterpret_cast<LPARAM>(text.c_str()));
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(textWidth + 6, r.right - r.left);
    EXPECT_EQ(screenWidth - 2 * capital - textWidth, r.left);
    EXPECT_LE(r.right, screenWidth);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ("Hilfe zu OrPpanel", WindowText(popup));
    // Light yellow inside a black border.
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(popup, 1, 1) == RGB(255, 255, 160); }))
        << std::hex << ClientPixel(popup, 1, 1);
    EXPECT_EQ(RGB(0, 0, 0), ClientPixel(popup, 0, 0));

    auto show = [&] {
        SendMessageA(popup, WM_SETTEXT, MAKEWPARAM(10, 10), reinterpret_cast<LPARAM>(text.c_str()));
        return IsWindowVisible(popup) != FALSE;
    };
    SendMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_FALSE(IsWindowVisible(popup)) << "a click hides it";
    ASSERT_TRUE(show());
    SendMessageA(popup, WM_CHAR, 'x', 0);
    EXPECT_TRUE(IsWindowVisible(popup)) << "other characters are ignored";
    SendMessageA(popup, WM_CHAR, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(popup)) << "Escape hides it";
    ASSERT_TRUE(show());
    SendMessageA(popup, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_TRUE(IsWindow(popup)) << "closing only hides it";
    ASSERT_TRUE(show());
    SendMessageA(panel.panel(), WM_CHAR, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(popup)) << "Escape on the panel in operating mode hides it";
    ASSERT_TRUE(show());
    SendMessageA(panel.panel(), WM_CHAR, 'x', 0);
    EXPECT_FALSE(IsWindowVisible(popup)) << "so does any other character";
    ASSERT_TRUE(show());
    SendMessageA(panel.panel(), WM_COMMAND, 32788, 0);  // design mode
    SendMessageA(panel.panel(), WM_CHAR, 'x', 0);
    EXPECT_TRUE(IsWindowVisible(popup)) << "but not in design mode";
}

TEST(HelpPopup, F1ShowsTheHelpOfTheKeyOrLedUnderTheCursor) {
    DesignWithHelp files;
    ASSERT_TRUE(files.ok);
    TestSettings settings;
    settings.fileCfg = files.design;
    settings.contextHelpFile = files.complete;
    PanelSession panel(0, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    ASSERT_TRUE(WaitUntil([&] { return Contains(WindowText(window), "help.orp"); }));

    POINT at = PressF1At(window, kKeyOk.x, kKeyOk.y);
    EXPECT_TRUE(WaitUntil([&] { return PopupShownAt(at); }));
    at = PressF1At(window, kLedRun.x, kLedRun.y);
    EXPECT_TRUE(WaitUntil([&] { return PopupShownAt(at); })) << "the pop-up moves to the LED";
    EXPECT_EQ(nullptr, FindPanelDialog(window));
}

TEST(HelpQuestions, F1AsksForAContextHelpFileAndReadsTheChosenOne) {
    DesignWithHelp files;
    ASSERT_TRUE(files.ok);
    TestSettings settings;
    settings.fileCfg = files.design;
    settings.contextHelpFile = files.dir + "\\missing.txt";
    PanelSession panel(0, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    ASSERT_TRUE(WaitUntil([&] { return Contains(WindowText(window), "help.orp"); }));

    // A file that cannot be read: 32844. Yes lets the user choose one.
    PressF1At(window, kKeyEsc.x, kKeyEsc.y);
    HWND box = WaitForPanelDialog(window, "question 32844");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("ORPpanel", WindowText(box));
    EXPECT_EQ("Es wurde keine Kontexthilfedatei gefunden! M\xF6" "chten Sie nach ihr suchen?\n",
              DialogStaticTexts(box));
    ASSERT_TRUE(PressDialogButton(box, IDYES));
    ASSERT_TRUE(ChooseFile(window, files.keysOnly));
    EXPECT_TRUE(WaitUntil([&] { return StoredSetting("ContextHelpFile") == files.keysOnly; }))
        << StoredSetting("ContextHelpFile");

    // That file has no entry for ESC: 32843 with the file's path. No keeps the settings.
    PressF1At(window, kKeyEsc.x, kKeyEsc.y);
    box = WaitForPanelDialog(window, "question 32843");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Es wurden keine korrespondierenden Eintr\xE4ge in der angegebenen Kontexthilfedatei " +
                  files.keysOnly + " gefunden! M\xF6" "chten Sie nach ihr suchen?\n",
              DialogStaticTexts(box));
    ASSERT_TRUE(PressDialogButton(box, IDNO));
    EXPECT_EQ(files.keysOnly, StoredSetting("ContextHelpFile"));

    // It has one for OK.
    POINT at = PressF1At(window, kKeyOk.x, kKeyOk.y);
    EXPECT_TRUE(WaitUntil([&] { return PopupShownAt(at); }));
    SendMessageA(HelpPopup(), WM_CLOSE, 0, 0);

    // Choosing another file replaces what was read from the first.
    PressF1At(window, kKeyEsc.x, kKeyEsc.y);
    box = WaitForPanelDialog(window, "question 32843 again");
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(PressDialogButton(box, IDYES));
    ASSERT_TRUE(ChooseFile(window, files.complete));
    at = PressF1At(window, kKeyEsc.x, kKeyEsc.y);
    EXPECT_TRUE(WaitUntil([&] { return PopupShownAt(at); }));
    EXPECT_EQ(files.complete, StoredSetting("ContextHelpFile"));
}

TEST(HelpQuestions, F1OverNoObjectAsksForTheHelpFileInEnglish) {
    DesignWithHelp files;
    ASSERT_TRUE(files.ok);
    TestSettings settings;
    settings.fileCfg = files.design;
    PanelSession panel(OPT_ENGLISH, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    ASSERT_TRUE(WaitUntil([&] { return Contains(WindowText(window), "help.orp"); }));

    PressF1At(window, 5, 100);
    HWND box = WaitForPanelDialog(window, "question 32842");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("No help file was found! Would you like to look for it?\n", DialogStaticTexts(box));
    ASSERT_TRUE(PressDialogButton(box, IDYES));
    // A document without an associated program: opening it fails quietly.
    const std::string manual = files.dir + "\\manual.orpdoc";
    ASSERT_TRUE(WriteText(manual, "manual"));
    ASSERT_TRUE(ChooseFile(window, manual));
    EXPECT_TRUE(WaitUntil([&] { return StoredSetting("HelpFile") == manual; })) << StoredSetting("HelpFile");
    EXPECT_EQ(nullptr, FindPanelDialog(window));
}

TEST(AboutBox, OpensAndClosesInBothLanguagesAndFromTheSystemMenu) {
    struct Case {
        unsigned long options;
        const char* caption;
        const char* line;
        int button;
    };
    const Case cases[] = {
        {0, "Info \xFC" "ber ORPpanel", "Virtuelle Frontplatte f\xFCr die Firmware-Entwicklung\n", IDOK},
        {OPT_ENGLISH, "About ORPpanel", "Virtual front panel for firmware development\n", IDCANCEL},
        {OPT_NO_MENU, "Info \xFC" "ber ORPpanel", "Virtuelle Frontplatte f\xFCr die Firmware-Entwicklung\n", IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        PanelSession panel(c.options);
        ASSERT_TRUE(panel.ok()) << panel.error();
        HWND window = panel.panel();
        if (c.options & OPT_NO_MENU) {
            EXPECT_EQ(nullptr, GetMenu(window));
            PostMessageA(window, WM_SYSCOMMAND, kAbout, 0);
        } else {
            PostMessageA(window, WM_COMMAND, kAbout, 0);
        }
        HWND about = WaitForPanelDialog(window, "About box");
        ASSERT_NE(nullptr, about);
        EXPECT_EQ(c.caption, WindowText(about));
        EXPECT_EQ(std::string("ORPpanel Version 1.0\n") + c.line, DialogStaticTexts(about));
        EXPECT_TRUE(PressDialogButton(about, c.button));
        EXPECT_TRUE(IsWindow(window));
        if (!(c.options & OPT_NO_MENU)) continue;
        // The system menu's other entry opens the help file, here asking for one first.
        PostMessageA(window, WM_SYSCOMMAND, kHelpFile, 0);
        HWND box = WaitForPanelDialog(window, "question 32842");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Es wurde keine Hilfedatei gefunden! M\xF6" "chten Sie nach ihr suchen?\n", DialogStaticTexts(box));
        EXPECT_TRUE(PressDialogButton(box, IDNO));
        EXPECT_EQ("", StoredSetting("HelpFile"));
    }
}

}  // namespace
