// The panel opens the design named in the settings when it starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "harness/panel_session.h"
#include "harness/test_design.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

HWND StatusLineOf(HWND panel) { return FindWindowExA(panel, nullptr, "static", nullptr); }

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

TEST(DesignStartup, OpensTheDesignOfTheSettingsWithItsTitleAndSize) {
    std::string dir = MakeTempWorkDir("design");
    std::string path = dir + "\\Start.ORP";
    TestDesign design;
    ASSERT_TRUE(WriteTestDesign(path, design));

    TestSettings settings;
    settings.fileCfg = path;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    const std::string expectedTitle = "ORPpanel - " + Lower(path);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window) == expectedTitle; })) << WindowText(window);

    // The client area holds the plate at 100 % with the status line below it.
    RECT client;
    ASSERT_TRUE(WaitUntil([&] {
        GetClientRect(window, &client);
        return client.right == design.plateWidth;
    })) << client.right;
    HWND status = StatusLineOf(window);
    ASSERT_NE(nullptr, status);
    POINT statusTop{};
    EXPECT_TRUE(WaitUntil([&] {
        RECT statusRect;
        GetWindowRect(status, &statusRect);
        statusTop = POINT{statusRect.left, statusRect.top};
        ScreenToClient(window, &statusTop);
        return statusTop.y == design.plateHeight;
    })) << "status line top " << statusTop.y;

    // The plate itself is painted (a point away from the LCD, keys and LED).
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, 5, design.plateHeight - 5) == design.plateColour; }))
        << std::hex << ClientPixel(window, 5, design.plateHeight - 5);
}

TEST(DesignStartup, AMissingDesignStartsANewOne) {
    TestSettings settings;
    settings.fileCfg = MakeTempWorkDir("missing") + "\\gone.orp";
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(panel.panel()) == "ORPpanel - New ORP design"; }))
        << WindowText(panel.panel());
}

TEST(DesignStartup, WithoutADesignTheStartPictureFillsThePanel) {
    constexpr uint32_t kSplashColour = 0x00C08040;
    TestSettings settings;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings, [](const std::string& workDir) {
        WriteSolidBitmap(workDir + "\\orpstarte.bmp", 200, 100, kSplashColour);
    });
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    RECT client;
    ASSERT_TRUE(WaitUntil([&] {
        GetClientRect(window, &client);
        return client.right == 200;
    })) << client.right;
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, 100, 50) == kSplashColour; }))
        << std::hex << ClientPixel(window, 100, 50);
    EXPECT_TRUE(WaitUntil([&] { return ClientPixel(window, 2, 2) == kSplashColour; }));
}

}  // namespace
