// LCD and LED painting with GDI on a real window: host messages go through the core dispatcher
// linked into this process, the painting goes to a window of the test, and the window's pixels
// are read back and compared with the dots the character set prescribes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "design/design_file.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/led_painter.h"
#include "design/object_model.h"
#include "harness/panel_dll.h"
#include "harness/panel_session.h"
#include "harness/window_capture.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "lcd/gdi_panel_surface.h"
#include "lcd/lcd_painter.h"
#include "panel/panel.h"
#include "panel/panel_layout.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "test_panel.h"

namespace {

constexpr uint32_t kBackground = 0x0060D0A8;  // 0x00BBGGRR
constexpr uint32_t kText = 0x00202020;
constexpr uint32_t kJunk = 0x00FF00FF;
constexpr int kLcdLeft = 20, kLcdTop = 30;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        {
            GdiPanelSurface surface(dc);
            PaintPanel(TestPanel(), surface);
        }
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Appends a new LED (off at first) to the design's LED list.
stPanelObject* AppendNewLed(int32_t id, const stPixelRect& rect, uint32_t off, uint32_t on) {
    auto* led = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(TestPanel().heap, sizeof(stPanelObject))));
    led->kind = kKindLed;
    led->id() = id;
    led->pixelRect() = rect;
    led->colourOff = off;
    led->colourOn = on;
    led->colour = off;
    led->name = OrpStrDup(TestPanel().heap, "LED");
    led->tooltip = OrpStrDup(TestPanel().heap, "-");
    AppendItem(TestPanel().design.leds, led);
    return led;
}

std::string Hex(uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}

// Compares every pixel of the LCD frame of the LCD layout (except its rounded corners)
// with the dots of the text in `rows`: lit dots in `dot`, everything else in `background`.
// Returns the first mismatch, "" when everything matches.
std::string CompareLcd(const Picture& picture, int characters, const std::vector<std::string>& rows, uint32_t dot,
                       uint32_t background, int cursorRow = -1, int cursorColumn = -1) {
    const stLcdLayout& g = TestPanel().lcdDraw.layout;
    if (g.lcdRect.left < 0 || g.lcdRect.top < 0 || g.lcdRect.right > picture.width ||
        g.lcdRect.bottom > picture.height)
        return "the LCD frame does not fit into the window";
    uint32_t set[kLcdCharSetSize];
    LcdComposeCharSet(TestPanel().lcd, set);
    std::vector<uint32_t> expected(picture.pixels.size(), background);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int j = 0; j < characters; ++j) {
            const uint8_t code = j < static_cast<int>(rows[r].size()) ? static_cast<uint8_t>(rows[r][j]) : ' ';
            for (int row = 0; row < 8; ++row) {
                uint32_t bits = set[code * 8 + row];
                if (r == cursorRow && j == cursorColumn) bits = 0x1F;  // blink block
                for (int d = 0; d < 5; ++d) {
                    if (!(bits & (0x10u >> d))) continue;
                    for (int y = 0; y < g.dotHeight; ++y)
                        for (int x = 0; x < g.dotWidth; ++x)
                            expected[static_cast<size_t>(g.lineRects[r][1] + row * g.dotHeight + y) *
                                         picture.width +
                                     g.columnX[j] + d * g.dotWidth + x] = dot;
                }
            }
        }
    }
    const stPixelRect& f = g.lcdRect;
    for (int y = f.top; y < f.bottom; ++y) {
        for (int x = f.left; x < f.right; ++x) {
            const bool corner = (x < f.left + 3 || x >= f.right - 3) && (y < f.top + 3 || y >= f.bottom - 3);
            if (corner) continue;
            const uint32_t want = expected[static_cast<size_t>(y) * picture.width + x];
            if (picture.At(x, y) != want) {
                std::ostringstream out;
                out << "pixel (" << x << ", " << y << ") is " << Hex(picture.At(x, y)) << ", expected "
                    << Hex(want);
                return out.str();
            }
        }
    }
    return "";
}

// LEDs drawn as the panel window draws them; nothing else of the platform.
// The window's own drawing, as the DLL's platform gives it: LEDs on the window, the LCD on the
// GDI hook of InstallPanelDrawing.
class LedPlatform : public PanelPlatform {
public:
    void DrawLed(const stPanelObject& led) override { ::DrawLed(&led); }
    const stLcdDrawHook* LcdSurface() override { return PanelDrawingSurface(); }
};

class LcdDrawing : public ::testing::Test {
protected:
    LedPlatform platform_;
    void SetUp() override {
        if (!TestPanel().design.leds) {
            ASSERT_EQ(1, CreatePanelLists(TestPanel()));
        }
        ResetDesign(TestPanel().design);
        ResetLedSelectionCache(TestPanel().design);
        InstallPlatform(TestPanel(), nullptr);
        ResetDispatcherState(TestPanel().protocol);
        ResetProtocolState(TestPanel().protocol);
        TestPanel().design.model.options = 0;
        TestPanel().design.model.linkFlag = 1;
        LcdClearState(TestPanel().lcd);
        LcdReset(TestPanel().lcd);
        ResetGeometry(TestPanel());
        LcdInvalidateCells(TestPanel().lcdDraw);  // the drawing starts afresh too

        WNDCLASSA wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "OrpLcdDrawingTest";
        RegisterClassA(&wc);
        window = CreateWindowA(wc.lpszClassName, "LCD drawing", WS_POPUP | WS_VISIBLE, 0, 0, 640, 300, nullptr,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window);
        SetForegroundWindow(window);
        InstallPanelDrawing(window);
        InstallPlatform(TestPanel(), &platform_);

        // A 2 x 16 LCD with cells of 4 x 7 mm: dots of 3 pixels or more at usual resolutions.
        lcd = stLcdType{};
        lcd.metrics.characters = 16;
        lcd.metrics.lines = 2;
        lcd.metrics.charX = 4000000;
        lcd.metrics.charY = 7000000;
        lcd.metrics.dotX = 700000;
        lcd.metrics.dotY = 1000000;
        lcd.metrics.width = 16 * 4700000 + 8000000;
        lcd.metrics.height = 2 * 8000000 + 6000000;
        lcd.placement.logicalRect.x = ToLogical(TestPanel().design.scale, kLcdLeft, 0);
        lcd.placement.logicalRect.y = ToLogical(TestPanel().design.scale, kLcdTop, 1);
        lcd.colours = {kBackground, kBackground, 0x00406050, kText, kText, 255};
        SetCurrentLcdType(TestPanel().lcdDraw, &lcd);
        ASSERT_EQ(1, LayOutCurrentLcd(TestPanel()));
        LcdSendInitSequence(TestPanel().lcd);  // display on, cursor off, cleared to spaces
        Repaint();
    }
    void TearDown() override {
        RemovePanelDrawing();
        SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
        InstallPlatform(TestPanel(), nullptr);
        SetLcdPaintMode(LcdPaintMode::kBuffered);
        ResetLedSelectionCache(TestPanel().design);
        ResetDesign(TestPanel().design);
        if (window) DestroyWindow(window);
        UnregisterClassA("OrpLcdDrawingTest", GetModuleHandleA(nullptr));
    }

    static void Dispatch(const std::string& frame) {
        DispatchPanelMessage(PanelDispatch(TestPanel()), reinterpret_cast<const uint8_t*>(frame.data()), static_cast<int>(frame.size()));
    }
    // Covers the client area with a colour no painting uses, then lets the window paint itself.
    void Repaint() {
        HDC dc = GetDC(window);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH junk = CreateSolidBrush(kJunk);
        FillRect(dc, &client, junk);
        DeleteObject(junk);
        ReleaseDC(window, dc);
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    // Waits until the pixel shows the colour (painting may reach the screen a little later).
    bool PixelBecomes(int x, int y, uint32_t colour) {
        return WaitUntil([&] { return Capture(window).At(x, y) == colour; }, 5000);
    }
    bool LcdShows(const std::vector<std::string>& rows, uint32_t dot, uint32_t background, std::string* why,
                  int cursorRow = -1, int cursorColumn = -1) {
        bool same = WaitUntil(
            [&] { return (*why = CompareLcd(Capture(window), lcd.metrics.characters, rows, dot, background, cursorRow,
                                            cursorColumn)).empty(); },
            5000);
        return same;
    }
    stPanelObject* AddLed(int32_t id, const stPixelRect& rect, uint32_t off, uint32_t on) {
        return AppendNewLed(id, rect, off, on);
    }

    HWND window = nullptr;
    stLcdType lcd{};
};

TEST_F(LcdDrawing, HostTextShowsTheDotsOfItsCharactersOnTheBackground) {
    const stLcdLayout& g = TestPanel().lcdDraw.layout;
    ASSERT_GE(g.dotWidth, 2);
    ASSERT_GE(g.dotHeight, 2);
    EXPECT_EQ(kLcdLeft, g.lcdRect.left);
    EXPECT_EQ(kLcdTop, g.lcdRect.top);
    std::string why;
    EXPECT_TRUE(LcdShows({"", ""}, kText, kBackground, &why)) << "after the first paint: " << why;

    Dispatch("WHi\r");
    EXPECT_TRUE(LcdShows({"Hi", ""}, kText, kBackground, &why)) << why;
    // Nothing is painted outside the frame.
    Picture picture = Capture(window);
    EXPECT_EQ(kJunk, picture.At(g.lcdRect.left - 1, g.lcdRect.top + 10));
    EXPECT_EQ(kJunk, picture.At(g.lcdRect.right, g.lcdRect.bottom - 10));
    EXPECT_EQ(kJunk, picture.At(g.lcdRect.left + 10, g.lcdRect.bottom));

    // Second line, then a repaint of the whole window draws everything again.
    Dispatch(std::string("D\xC0\r"));
    Dispatch("Wpanel 42\r");
    EXPECT_TRUE(LcdShows({"Hi", "panel 42"}, kText, kBackground, &why)) << why;
    Repaint();
    EXPECT_TRUE(LcdShows({"Hi", "panel 42"}, kText, kBackground, &why)) << "after a repaint: " << why;
}

TEST_F(LcdDrawing, FramedMessagesWithChecksumAndSequenceReachTheLcd) {
    // Mode 0x0C: a sequence byte and one checksum byte; "A" already comes in the new framing.
    auto framed = [](const std::string& message) {
        uint8_t frame[kFrameBuildSize];
        int length = BuildFrameWithMode(TestPanel().protocol, 0x0C, reinterpret_cast<const uint8_t*>(message.data()),
                                        static_cast<int>(message.size()), 0, frame);
        return std::string(reinterpret_cast<char*>(frame), static_cast<size_t>(length));
    };
    Dispatch(std::string("M\x0C\r"));
    Dispatch(framed("A"));
    ASSERT_EQ(0x0C, ActiveProtocolMode(TestPanel().protocol));
    const std::string frame = framed("WHi");
    ASSERT_EQ(6u, frame.size());
    Dispatch(frame);
    std::string why;
    EXPECT_TRUE(LcdShows({"Hi", ""}, kText, kBackground, &why)) << why;
}

TEST_F(LcdDrawing, DirectAndBufferedPaintingGiveTheSamePixels) {
    Dispatch("WThe quick brown \r");
    Dispatch(std::string("D\xC0\r"));
    Dispatch(std::string("W\xE4\xF5 fox 0123\x01\x02xyz\r"));
    Dispatch(std::string("D\x0E\r"));  // cursor underline on
    Picture pictures[2];
    const LcdPaintMode modes[2] = {LcdPaintMode::kDirect, LcdPaintMode::kBuffered};
    for (int i = 0; i < 2; ++i) {
        SetLcdPaintMode(modes[i]);
        Repaint();
        const stPixelRect& f = TestPanel().lcdDraw.layout.lcdRect;
        ASSERT_TRUE(WaitUntil([&] { return Capture(window).At(f.left + 4, f.top + 4) == kBackground; }, 5000));
        pictures[i] = Capture(window);
    }
    ASSERT_EQ(pictures[0].pixels.size(), pictures[1].pixels.size());
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < pictures[0].pixels.size(); ++i)
        if (pictures[0].pixels[i] != pictures[1].pixels[i] && differing++ == 0) first = i;
    EXPECT_EQ(0u, differing) << "first difference at x " << first % pictures[0].width << ", y "
                             << first / pictures[0].width;

    // Partial updates (only changed cells are drawn) also match between the two ways.
    for (int i = 0; i < 2; ++i) {
        SetLcdPaintMode(modes[i]);
        Dispatch(std::string("D\x80\r"));
        Dispatch(i == 0 ? "WABC\r" : "Wabc\r");
        Dispatch(std::string("D\x80\r"));
        Dispatch("WThe\r");
        pictures[i] = Capture(window);
    }
    differing = 0;
    for (size_t i = 0; i < pictures[0].pixels.size(); ++i)
        if (pictures[0].pixels[i] != pictures[1].pixels[i] && differing++ == 0) first = i;
    EXPECT_EQ(0u, differing) << "first difference at x " << first % pictures[0].width << ", y "
                             << first / pictures[0].width;
}

TEST_F(LcdDrawing, BufferedPaintingFollowsTheWindowSize) {
    // The off-screen bitmap is kept between passes: after the window shrank and grew again, the
    // whole LCD must still reach the screen.
    Dispatch("WHi\r");
    SetWindowPos(window, nullptr, 0, 0, 100, 60, SWP_NOMOVE | SWP_NOZORDER);
    InstallPanelDrawing(window);  // starts again without a bitmap: the next one is the small size
    Repaint();
    SetWindowPos(window, nullptr, 0, 0, 640, 300, SWP_NOMOVE | SWP_NOZORDER);
    Repaint();
    std::string why;
    EXPECT_TRUE(LcdShows({"Hi", ""}, kText, kBackground, &why)) << why;
    Dispatch("W there\r");
    EXPECT_TRUE(LcdShows({"Hi there", ""}, kText, kBackground, &why)) << why;
}

TEST_F(LcdDrawing, BlinkTickAlternatesTheBlockAtTheCursor) {
    Dispatch("WHi\r");
    Dispatch(std::string("D\x0D\r"));  // display on, cursor off, blink on; the cursor is at cell 2
    std::string why;
    LcdBlinkTick(TestPanel().lcdDraw, TestPanel().lcd);
    EXPECT_TRUE(LcdShows({"Hi", ""}, kText, kBackground, &why, 0, 2)) << "block shown: " << why;
    LcdBlinkTick(TestPanel().lcdDraw, TestPanel().lcd);
    EXPECT_TRUE(LcdShows({"Hi", ""}, kText, kBackground, &why)) << "block hidden: " << why;
}

TEST_F(LcdDrawing, ContrastAndBacklightRepaintWithTheirColours) {
    TestPanel().design.model.options = MODEL_CONTRAST | MODEL_BACKLIGHT_SWITCH | MODEL_BACKLIGHT_LEVEL;
    Dispatch("WHi\r");
    std::string why;
    Dispatch(std::string("C\0\r", 3));  // contrast 0: the dots take the background colour
    EXPECT_TRUE(LcdShows({"Hi", ""}, kBackground, kBackground, &why)) << why;
    Dispatch(std::string("C\xFF\r"));
    Dispatch(std::string("B\0\r", 3));  // backlight off
    EXPECT_TRUE(LcdShows({"Hi", ""}, kText, 0x00406050, &why)) << why;
}

TEST_F(LcdDrawing, LedShowsItsStateAndKeepsItOnRepaint) {
    const uint32_t kRed = 0x000000FF, kDark = 0x00004000, kBlue = 0x00FF0000;
    AddLed(3, {400, 40, 424, 64}, kDark, kRed);
    stPanelObject* never = AddLed(255, {460, 40, 484, 64}, kBlue, kBlue);
    never->colour = kBlue;

    Dispatch(std::string("O\x08\r"));  // bit 3 of every byte: LED 3 on
    EXPECT_TRUE(PixelBecomes(412, 52, kRed));
    Picture picture = Capture(window);
    EXPECT_EQ(0u, picture.At(400, 52)) << "outline on the left edge";
    EXPECT_EQ(0u, picture.At(412, 40)) << "outline on the top edge";
    EXPECT_NE(kRed, picture.At(401, 41)) << "the corner lies outside the ellipse";

    Repaint();
    EXPECT_TRUE(PixelBecomes(412, 52, kRed)) << "a repaint shows the LED's current state";
    picture = Capture(window);
    EXPECT_EQ(0u, picture.At(400, 52));
    EXPECT_EQ(kJunk, picture.At(472, 52)) << "identifier 255 is never painted";

    Dispatch(std::string("O\0\r", 3));
    EXPECT_TRUE(PixelBecomes(412, 52, kDark));
    Repaint();
    EXPECT_TRUE(PixelBecomes(412, 52, kDark));
}

TEST_F(LcdDrawing, ScreenMeasurementSetsTheNanometresPerPixel) {
    ASSERT_EQ(1, MeasureScreen(window));
    const stViewScale& g = TestPanel().design.scale;
    EXPECT_GT(g.pixelsPer10kInchX, 0u);
    EXPECT_EQ(static_cast<int32_t>(254000000000ull / g.pixelsPer10kInchX), g.nmPerPixelX);
    EXPECT_EQ(static_cast<int32_t>(254000000000ull / g.pixelsPer10kInchY), g.nmPerPixelY);
    // The measurement agrees with the display's resolution to within a few percent.
    HDC dc = GetDC(window);
    const double dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    EXPECT_NEAR(dpi * 10000.0, static_cast<double>(g.pixelsPer10kInchX), dpi * 10000.0 * 0.05)
        << "measured " << g.pixelsPer10kInchX;
}

// ---- the same through orppanel.dll --------------------------------------------------------

// A 24-bit bitmap file of a plain grey plate at 96 dots per inch (3780 pixels per metre).
std::vector<uint8_t> GreyPlate(int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const uint32_t size = 54 + static_cast<uint32_t>(rowBytes * height);
    std::vector<uint8_t> file(size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    put32(38, 3780);
    put32(42, 3780);
    std::fill(file.begin() + 54, file.end(), 0x80);
    return file;
}

// A design with a 2 x 16 LCD at (30, 40) and one LED, written with the core as the panel's
// design commands would; the in-process design state is cleared again afterwards.
std::string WriteTestDesign(stLcdType* lcd, stPixelRect ledRect, stLogicalRect* ledLogical, uint32_t ledOff,
                            uint32_t ledOn) {
    if (!TestPanel().design.leds) CreatePanelLists(TestPanel());
    ResetLedSelectionCache(TestPanel().design);
    ResetDesign(TestPanel().design);
    ResetGeometry(TestPanel());
    LcdInvalidateCells(TestPanel().lcdDraw);  // the drawing starts afresh too
    std::vector<uint8_t> plate = GreyPlate(420, 200);
    auto* image = static_cast<uint8_t*>(OrpAlloc(TestPanel().heap, plate.size()));
    std::memcpy(image, plate.data(), plate.size());
    SetPlateImage(TestPanel().design.plate, image, static_cast<uint32_t>(plate.size()), 0);

    *lcd = stLcdType{};
    lcd->metrics.characters = 16;
    lcd->metrics.lines = 2;
    lcd->metrics.charX = 4000000;
    lcd->metrics.charY = 7000000;
    lcd->metrics.dotX = 700000;
    lcd->metrics.dotY = 1000000;
    lcd->metrics.width = 16 * 4700000 + 8000000;
    lcd->metrics.height = 2 * 8000000 + 6000000;
    lcd->placement.logicalRect.x = ToLogical(TestPanel().design.scale, 30, 0);
    lcd->placement.logicalRect.y = ToLogical(TestPanel().design.scale, 40, 1);
    lcd->colours = {kBackground, kBackground, 0x00406050, kText, kText, 255};
    SetCurrentLcdType(TestPanel().lcdDraw, lcd);

    stPanelObject* led = AppendNewLed(3, ledRect, ledOff, ledOn);
    ObjectToLogical(TestPanel().design.scale, led);
    *ledLogical = led->logicalRect();

    const std::string path = MakeTempWorkDir("lcd_design") + "\\panel.orp";
    const int saved = SaveDesign(TestPanel().design, TestPanel().lcdDraw, path.c_str());
    SetCurrentLcdType(TestPanel().lcdDraw, nullptr);
    ResetLedSelectionCache(TestPanel().design);
    ResetDesign(TestPanel().design);
    ReleasePlate(TestPanel().design.plate);
    return saved ? path : "";
}

// The panel started on the test design, and the layout it computes from that design reproduced
// here for the comparisons.
class PanelLcd : public ::testing::Test {
protected:
    static constexpr uint32_t kRed = 0x000000FF, kDark = 0x00004000;
    // Opening a design starts the LCD with the backlight-off colour.
    static constexpr uint32_t kOpenedBackground = 0x00406050;

    void SetUp() override {
        stLogicalRect ledLogical;
        TestSettings settings;
        settings.fileCfg = WriteTestDesign(&lcd, {370, 140, 394, 164}, &ledLogical, kDark, kRed);
        ASSERT_FALSE(settings.fileCfg.empty());
        panel = std::make_unique<PanelSession>(OPT_ENGLISH, settings);
        ASSERT_TRUE(panel->ok()) << panel->error();
        ASSERT_TRUE(panel->AcknowledgeResetAnnouncement());
        window = panel->panel();
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        LcdReset(TestPanel().lcd);
        ResetGeometry(TestPanel());
        LcdInvalidateCells(TestPanel().lcdDraw);  // the drawing starts afresh too
        ASSERT_EQ(1, MeasureScreen(window));
        PlaceLcd(TestPanel().design.scale, TestPanel().lcd, TestPanel().lcdDraw.layout, ToPixels(TestPanel().design.scale, lcd.placement.logicalRect.x, 0),
                 ToPixels(TestPanel().design.scale, lcd.placement.logicalRect.y, 1), &lcd, &TestPanel().lcdDraw.layout.lcdRect, kPlaceAll);
        ASSERT_NEAR(30, TestPanel().lcdDraw.layout.lcdRect.left, 1);  // nanometres to pixels may lose one pixel
        ledRect = ObjectToPixels(TestPanel().design.scale, ledLogical.x, ledLogical.y, ledLogical.width, ledLogical.height);
    }
    void TearDown() override { panel.reset(); }

    bool LcdShows(const std::vector<std::string>& rows, std::string* why, int cursorRow = -1, int cursorColumn = -1) {
        return WaitUntil([&] {
            return (*why = CompareLcd(Capture(window), 16, rows, kText, kOpenedBackground, cursorRow, cursorColumn))
                .empty();
        });
    }

    stLcdType lcd{};
    std::unique_ptr<PanelSession> panel;
    HWND window = nullptr;
    stPixelRect ledRect{};
};

TEST_F(PanelLcd, HostTextAndLedAppearOnThePanelWindow) {
    std::string why;
    EXPECT_TRUE(LcdShows({"", ""}, &why)) << "empty LCD after the design was opened: " << why;
    panel->Send("WHi\r");
    EXPECT_EQ("\x06\r", panel->NextFrame());
    EXPECT_TRUE(LcdShows({"Hi", ""}, &why)) << why;

    const int cx = (ledRect.left + ledRect.right) / 2, cy = (ledRect.top + ledRect.bottom) / 2;
    panel->Send("O\x08\r");
    EXPECT_EQ("\x06\r", panel->NextFrame());
    EXPECT_TRUE(WaitUntil([&] { return Capture(window).At(cx, cy) == kRed; })) << Hex(Capture(window).At(cx, cy));
    EXPECT_EQ(0u, Capture(window).At(ledRect.left, cy)) << "black outline";

    // A full repaint of the panel shows the same.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(LcdShows({"Hi", ""}, &why)) << "after a repaint: " << why;
    EXPECT_TRUE(WaitUntil([&] { return Capture(window).At(cx, cy) == kRed; })) << Hex(Capture(window).At(cx, cy));
}

TEST_F(PanelLcd, CursorBlockBlinksWithThePanelsTimer) {
    panel->Send("WHi\r");
    EXPECT_EQ("\x06\r", panel->NextFrame());
    panel->Send("D\x0D\r");  // display on, blink on: the block at cell 2 comes and goes every 500 ms
    EXPECT_EQ("\x06\r", panel->NextFrame());
    std::string why;
    EXPECT_TRUE(LcdShows({"Hi", ""}, &why, 0, 2)) << "the block never showed: " << why;
    EXPECT_TRUE(LcdShows({"Hi", ""}, &why)) << "the block never went away: " << why;
}

}  // namespace
