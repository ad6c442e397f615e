// The LCD control panel and the font table window, driven like a person would: the dialog found
// on the screen and its controls used by id, the effects read back through the host's own
// queries, the monitor and the pixels of the panel and the font table.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "design/object_model.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/font_table.h"
#include "panel/panel.h"
#include "test_panel.h"

namespace {

constexpr UINT kCmdLcdPanel = 32841;
constexpr UINT kCmdMonitor = 32820;
const char kGermanTitle[] = "LCD Steuerung";
const char kEnglishTitle[] = "LCD Control Panel";

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
    reinterpret_cast<std::set<std::string>*>(texts)->insert(WindowText(child));
    return TRUE;
}

class LcdPanel : public ::testing::Test {
protected:
    void Start(unsigned long options, const TestDesign& design = TestDesign{}) {
        design_ = design;
        std::string dir = MakeTempWorkDir("lcdpanel");
        std::string path = dir + "\\Panel.orp";
        ASSERT_TRUE(WriteTestDesign(path, design));
        TestSettings settings;
        settings.fileCfg = path;
        session_ = std::make_unique<PanelSession>(options, settings);
        ASSERT_TRUE(session_->ok()) << session_->error();
        ASSERT_TRUE(session_->AcknowledgeResetAnnouncement());
        english_ = (options & OPT_ENGLISH) != 0;
    }
    void TearDown() override {
        if (dialog_ && IsWindow(dialog_)) Click(IDCANCEL);
        if (session_) session_->Stop();
    }
    PanelSession& panel() { return *session_; }

    // The command arrives as from the menu; the dialog runs its own loop on the panel's thread.
    HWND Open() {
        PostMessageA(panel().panel(), WM_COMMAND, kCmdLcdPanel, 0);
        dialog_ = nullptr;
        WaitUntil([&] {
            dialog_ = FindWindowA("#32770", english_ ? kEnglishTitle : kGermanTitle);
            return dialog_ && IsWindowVisible(dialog_);
        });
        return dialog_;
    }
    void Close() {
        Click(IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
    }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Type(int id, const char* text) { SetDlgItemTextA(dialog_, id, text); }
    void Choose(int index) {
        SendMessageA(Item(1104), CB_SETCURSEL, index, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(1104, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(1104)));
    }
    // What the slider itself reports to the dialog after the user moved it.
    void Slide(int id, int code, int position = 0) {
        SendMessageA(dialog_, WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(id)));
    }

    // The next frame the host receives.
    std::string Next() { return panel().NextFrame(); }
    // The host's own message and the panel's answer.
    std::string Ask(const std::string& frame) {
        panel().Send(frame);
        return Next();
    }
    // The byte at a DDRAM address, read by the host: set the address, then 'G' 'R'.
    int ReadDdram(int address) {
        if (Ask(std::string("D") + static_cast<char>(0x80 | address) + "\r") != "\x06\r") return -1;
        const std::string reply = Ask("GR\r");
        return reply.size() == 3 && reply[0] == 'g' ? static_cast<uint8_t>(reply[1]) : -1;
    }
    int ReadCgram(int address) {
        if (Ask(std::string("D") + static_cast<char>(0x40 | address) + "\r") != "\x06\r") return -1;
        const std::string reply = Ask("GR\r");
        return reply.size() == 3 && reply[0] == 'g' ? static_cast<uint8_t>(reply[1]) : -1;
    }

    std::unique_ptr<PanelSession> session_;
    TestDesign design_;
    HWND dialog_ = nullptr;
    bool english_ = false;
};

TEST_F(LcdPanel, OpensWithItsTextsAndTheControllerState) {
    Start(OPT_LCD_PANEL | OPT_FILE_COMMANDS);
    ASSERT_TRUE(Open());
    std::set<std::string> texts;
    EnumChildWindows(dialog_, CollectText, reinterpret_cast<LPARAM>(&texts));
    for (const char* text : {"Texteingabe (Hex \\x01)", "Displaybefehle (in Hex) kommagetrennt", "Schreibrichtung",
                             "Schiebebefehle", "  LCD   LEDs  Kontrast  ", "Cursor", "Zeichen definieren",
                             "0    Spalte  4", "Zeichen folgendem ASCII-Code zuweisen", "Kontrast speichern",
                             "Antwort in Protokoll Meldung", "Reihe", "0", "7", "10"})
        EXPECT_TRUE(texts.count(text)) << text;
    EXPECT_EQ("LCD l\xF6schen", WindowText(Item(1110)));
    EXPECT_EQ("Zeige\nFonttabelle", WindowText(Item(1134)));
    EXPECT_EQ("Verlassen", WindowText(Item(IDCANCEL)));
    EXPECT_EQ("< nach links", WindowText(Item(1100)));

    // After the power-up sequence: display on, cursor off, 2 lines 5x8, left to right.
    EXPECT_TRUE(Checked(1117));
    EXPECT_FALSE(Checked(1121));
    EXPECT_FALSE(Checked(1123));
    EXPECT_FALSE(Checked(1115));
    EXPECT_TRUE(Checked(1137));
    EXPECT_TRUE(Checked(1138));
    EXPECT_TRUE(Checked(1130));
    ASSERT_EQ(8, SendMessageA(Item(1104), CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(Item(1189)));
    EXPECT_FALSE(IsWindowEnabled(Item(1190)));
    EXPECT_EQ(0, SendMessageA(Item(1236), TBM_GETPOS, 0, 0));
    EXPECT_EQ(0, SendMessageA(Item(1238), TBM_GETPOS, 0, 0));
    EXPECT_EQ(127, SendMessageA(Item(1237), TBM_GETPOS, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(Item(1134))) << "no font table without its option";
    // The work directory has no instruction documents: nothing opens and no message appears.
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(Item(1135), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result));

    // Choosing the command again focuses the open panel instead of opening a second one.
    SendMessageA(panel().panel(), WM_COMMAND, kCmdLcdPanel, 0);
    EXPECT_EQ(dialog_, FindWindowA("#32770", kGermanTitle));
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, dialog_, "#32770", kGermanTitle));

    // 5x11: the tall rows open up and the list shows pairs.
    Click(1136);
    EXPECT_TRUE(IsWindowEnabled(Item(1204)));
    ASSERT_EQ(4, SendMessageA(Item(1104), CB_GETCOUNT, 0, 0));
    char entry[8] = "";
    SendMessageA(Item(1104), CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ("6/7", entry);

    // Reopened: the shift target is remembered, the sliders start over.
    Click(1133);
    Slide(1237, TB_PAGEUP);
    EXPECT_EQ(127 - 16, SendMessageA(Item(1237), TBM_GETPOS, 0, 0));
    Close();
    ASSERT_TRUE(Open());
    EXPECT_TRUE(Checked(1133));
    EXPECT_FALSE(Checked(1130));
    EXPECT_EQ(127, SendMessageA(Item(1237), TBM_GETPOS, 0, 0));
    EXPECT_TRUE(Checked(1136)) << "the LCD is in 5x11 mode now";
    Close();
}

TEST_F(LcdPanel, WithoutItsOptionTheMenuEntryIsGreyed) {
    Start(OPT_FILE_COMMANDS | OPT_ENGLISH);
    SendMessageA(panel().panel(), WM_COMMAND, kCmdLcdPanel, 0);
    HMENU menu = GetMenu(panel().panel());
    EXPECT_TRUE(GetMenuState(menu, kCmdLcdPanel, MF_BYCOMMAND) & MF_GRAYED);
    char text[64] = "";
    GetMenuStringA(menu, kCmdLcdPanel, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("&LCD Control panel", text);
    EXPECT_EQ(nullptr, FindWindowA("#32770", kEnglishTitle));
}

TEST_F(LcdPanel, TextCommandsAndReadsReachTheLcdAndTheHost) {
    Start(OPT_LCD_PANEL | OPT_FILE_COMMANDS | OPT_ENGLISH);
    SendMessageA(panel().panel(), WM_COMMAND, kCmdMonitor, 0);
    HWND monitor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (monitor = FindTopLevelWindow("ORPpanelMonitorWnd")) != nullptr; }));
    ASSERT_TRUE(Open());
    EXPECT_EQ("Send", WindowText(Item(1212)));

    Type(1128, "A\\x42C\\x");
    Click(1212);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ('A', ReadDdram(0));
    EXPECT_EQ('B', ReadDdram(1));
    EXPECT_EQ('C', ReadDdram(2));
    EXPECT_EQ('\\', ReadDdram(3));
    EXPECT_EQ('x', ReadDdram(4));
    Type(1128, "");
    Click(1212);  // nothing to send

    // The panel's own reads are answered to the host, at the address the host left.
    Click(1108);
    EXPECT_EQ(std::string("g\x04\r"), Next());
    ASSERT_EQ(0x06, Ask("D\x81\r")[0]);
    Click(1211);
    EXPECT_EQ("gB\r", Next());

    // Shift the display right: 'D' 0x1C, seen in the monitor.
    Click(1133);
    Click(1101);
    EXPECT_EQ("\x06\r", Next());
    HWND rx = GetDlgItem(monitor, 1);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(rx).find("D 1c END") != std::string::npos; }, 10000, 50))
        << WindowText(rx);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(rx).find("W ABC(5c)x END") != std::string::npos; }, 10000, 50))
        << WindowText(rx);

    // Hex list "1": clear; then the display test fills 80 cells from the address counter on.
    Type(1131, "1");
    Click(1109);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ(' ', ReadDdram(0));
    ASSERT_EQ(0x06, Ask("D\x80\r")[0]);
    Click(1106);
    EXPECT_EQ("\x06\r", Next());
    // Both 40-cell lines, read at their ends (every read is a round trip through the monitor).
    for (int address : {0x00, 0x01, 0x26, 0x27, 0x40, 0x41, 0x66, 0x67})
        EXPECT_EQ(0xFF, ReadDdram(address)) << address;

    // Cursor and blink: the controller follows, and Reset sets the boxes back from it.
    Click(1121);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_TRUE(Checked(1121));
    Click(1105);
    EXPECT_EQ("r\r", Next());
    panel().Send("\x06\r");
    EXPECT_FALSE(Checked(1121));
    EXPECT_EQ(' ', ReadDdram(0x40));
    Close();
}

TEST_F(LcdPanel, SlidersChangeTheLcdColours) {
    TestDesign design;
    design.lcdBacklightOff = 0x00203040;
    design.lcdBacklightOn = 0x0060E0C0;
    design.modelCapabilities = MODEL_BACKLIGHT_SWITCH | MODEL_BACKLIGHT_LEVEL | MODEL_CONTRAST | MODEL_LED_INTENSITY;
    Start(OPT_LCD_PANEL | OPT_FILE_COMMANDS | OPT_ENGLISH, design);
    HWND window = panel().panel();
    // A point of the LCD frame between the cells; the design starts with the backlight off.
    const int x = design.lcdX + 2, y = design.lcdY + 2;
    ASSERT_TRUE(WaitUntil([&] { return ClientPixel(window, x, y) == design.lcdBacklightOff; }))
        << std::hex << ClientPixel(window, x, y);
    ASSERT_TRUE(Open());

    // Dragged to the top: backlight 255.
    Slide(1236, TB_THUMBPOSITION, 0);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, x, y) == design.lcdBacklightOn; }))
        << std::hex << ClientPixel(window, x, y);
    // To the bottom: 0.
    Slide(1236, TB_THUMBPOSITION, 255);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, x, y) == design.lcdBacklightOff; }))
        << std::hex << ClientPixel(window, x, y);
    EXPECT_EQ(255, SendMessageA(Item(1236), TBM_GETPOS, 0, 0));
    // The slider's own keys: one step up is backlight 1, a page more is 17, half way between.
    SendMessageA(Item(1236), WM_KEYDOWN, VK_UP, 0);
    SendMessageA(Item(1236), WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ(255 - 17, SendMessageA(Item(1236), TBM_GETPOS, 0, 0));
    EXPECT_TRUE(WaitUntil([&] {
        const COLORREF p = ClientPixel(window, x, y);
        return p != design.lcdBacklightOff && p != design.lcdBacklightOn && GetGValue(p) < 0x50;
    })) << std::hex << ClientPixel(window, x, y);

    // Contrast: answered with 'c' 0x80; saving sends 'C' level 'U'.
    Slide(1237, TB_PAGEUP);
    EXPECT_EQ(std::string("c\x80\r"), Next());
    Click(1107);
    EXPECT_EQ(std::string("c\x80\r"), Next());
    // Tracking sends nothing; the LED slider's 'N' is acknowledged.
    Slide(1238, TB_THUMBTRACK, 30);
    Slide(1238, TB_LINEDOWN);
    EXPECT_EQ("\x06\r", Next());
    panel().Drain();
    Close();
}

TEST_F(LcdPanel, DefinedCharactersShowInTheFontTable) {
    Start(OPT_LCD_PANEL | OPT_FILE_COMMANDS | OPT_FONT_TABLE);
    HWND fonts = FindTopLevelWindow("ORPpanelFontWnd");
    ASSERT_NE(nullptr, fonts);
    EXPECT_FALSE(IsWindowVisible(fonts));
    EXPECT_EQ("Fonttable", WindowText(fonts));
    EXPECT_EQ(panel().panel(), GetWindow(fonts, GW_OWNER));
    EXPECT_FALSE(GetWindowLongA(fonts, GWL_STYLE) & WS_SYSMENU);
    EXPECT_NE(0u, GetClassLongPtrA(fonts, GCLP_HICON));
    EXPECT_NE(0u, GetClassLongPtrA(fonts, GCLP_HICONSM));
    RECT frame;
    GetWindowRect(fonts, &frame);
    EXPECT_EQ(200, frame.left);
    EXPECT_EQ(200, frame.top);
    EXPECT_EQ(450, frame.right - frame.left);
    EXPECT_EQ(500, frame.bottom - frame.top);

    ASSERT_TRUE(Open());
    // Character 2 of the 5x8 list, a dot in its first and last row, assigned twice: the second
    // copy goes to character 3, as the CGRAM address has moved on.
    Click(1150);      // row 0, column 0
    Click(1150 + 39);  // row 7, column 4
    Click(1151);
    Click(1151);      // set and cleared again
    Choose(2);
    EXPECT_EQ("\x06\r", Next());
    Click(1230);
    Click(1230);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ(0x10, ReadCgram(16));
    EXPECT_EQ(0x01, ReadCgram(16 + 7));
    EXPECT_EQ(0x10, ReadCgram(24));
    EXPECT_EQ(0x01, ReadCgram(24 + 7));

    Click(1134);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(fonts) != 0; }));
    Close();

    // The table's pixels: the glyph of a code as rows of dots, -1 where a dot is not a clean
    // 2 x 2 square in black or white.
    auto glyph = [&](int code) {
        std::vector<int> rows;
        HDC dc = GetDC(fonts);
        for (int r = 0; r < 8; ++r) {
            int dots = 0;
            for (int c = 0; c < 5; ++c) {
                const int x = FontCellX(code) + 2 * c, y = FontCellY(code) + 2 * r;
                const COLORREF p = GetPixel(dc, x, y);
                if (GetPixel(dc, x + 1, y + 1) != p || (p != RGB(0, 0, 0) && p != RGB(255, 255, 255))) dots = -1;
                if (dots >= 0 && p == RGB(0, 0, 0)) dots |= 0x10 >> c;
            }
            rows.push_back(dots);
        }
        ReleaseDC(fonts, dc);
        return rows;
    };
    LcdClearState(TestPanel().lcd);
    LcdReset(TestPanel().lcd);  // the test's own copy of the built-in sets
    auto rom = [](int code) {
        std::vector<int> rows;
        for (int r = 0; r < 8; ++r) rows.push_back(static_cast<int>(LcdCharSetN()[code * 8 + r] & 0x1F));
        return rows;
    };
    const std::vector<int> defined{0x10, 0, 0, 0, 0, 0, 0, 0x01};
    const std::vector<int> placeholder(kCgramPlaceholder, kCgramPlaceholder + 8);
    const std::vector<int> blank(8, 0);
    EXPECT_TRUE(WaitUntil([&] { return glyph(2) == defined; }, 10000, 50));
    EXPECT_EQ(defined, glyph(3));
    EXPECT_EQ(defined, glyph(2 + 8));
    EXPECT_EQ(defined, glyph(3 + 8));
    EXPECT_EQ(placeholder, glyph(0));
    EXPECT_EQ(placeholder, glyph(0x0F));
    EXPECT_EQ(blank, glyph(0x10));
    EXPECT_EQ(blank, glyph(0x9F));
    EXPECT_EQ(rom('A'), glyph('A'));
    EXPECT_EQ(rom(0xE4), glyph(0xE4));

    // Reopened, the grid is empty but the pattern is remembered: character 5 gets it.
    ASSERT_TRUE(Open());
    for (int id = 1150; id <= 1204; ++id) EXPECT_FALSE(Checked(id)) << id;
    Choose(5);
    Click(1230);
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ("\x06\r", Next());
    EXPECT_EQ(0x10, ReadCgram(40));
    EXPECT_EQ(0x01, ReadCgram(47));
    Close();
    EXPECT_TRUE(WaitUntil([&] { return glyph(5) == defined; }, 10000, 50));

    // Escape hides the table.
    SendMessageA(fonts, WM_CHAR, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(fonts));
}

TEST_F(LcdPanel, FunctionKeysBecomeCommandsOnlyWhileThePanelIsOpen) {
    Start(OPT_LCD_PANEL | OPT_FILE_COMMANDS | OPT_ENGLISH);
    HWND window = panel().panel();
    // Dots of the top edge of key 0 (150, 20, 30 x 20) that the design mode outline darkens.
    auto outlined = [&] {
        int dark = 0;
        for (int x = 155; x < 176; ++x) dark += ClientPixel(window, x, 20) != design_.plateColour;
        return dark > 0;
    };
    ASSERT_TRUE(WaitUntil([&] { return ClientPixel(window, 160, 60) == design_.plateColour; }));
    SendMessageA(window, WM_KEYUP, VK_F4, 0);
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_FALSE(outlined());

    ASSERT_TRUE(Open());
    // Alt+F4 still does not close the panel window while the dialog runs its own loop.
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, 0x20000000);
    PostMessageA(window, WM_KEYUP, VK_F4, 0);
    EXPECT_TRUE(WaitUntil(outlined));
    // A close would have told the host's window already, before the key-up was handled.
    MSG pending;
    while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&pending);
    EXPECT_FALSE(panel().hostWindowDestroyed());
    EXPECT_TRUE(IsWindow(dialog_));
    PostMessageA(window, WM_KEYUP, VK_F5, 0);
    EXPECT_TRUE(WaitUntil([&] { return !outlined(); }));
    Close();
}

}  // namespace

namespace {

TEST_F(LcdPanel, TheHostCanCloseWhileThePanelIsOpenAndStartAgain) {
    Start(OPT_LCD_PANEL | OPT_FONT_TABLE | OPT_ENGLISH);
    ASSERT_TRUE(Open());
    panel().Stop();
    EXPECT_FALSE(IsWindow(dialog_));
    EXPECT_EQ(nullptr, FindTopLevelWindow("ORPpanelFontWnd"));

    // The font table's class went with the library, so a new start has its window again.
    Start(OPT_LCD_PANEL | OPT_FONT_TABLE | OPT_ENGLISH);
    EXPECT_NE(nullptr, FindTopLevelWindow("ORPpanelFontWnd"));
    ASSERT_TRUE(Open());
    EXPECT_TRUE(IsWindowEnabled(Item(1134)));
    Close();
}

}  // namespace
