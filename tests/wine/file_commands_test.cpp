// The design file commands through the real common dialogs.
#include <gtest/gtest.h>

#include "harness/modal_dialogs.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"

namespace {

constexpr UINT kSaveDesignAs = 32776;
constexpr UINT kOpenDesign = 32770;

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(FileCommands, SaveAsWritesTheDesignAndOpenReadsItBack) {
    std::string dir = MakeTempWorkDir("files");
    std::string original = dir + "\\original.orp";
    ASSERT_TRUE(WriteTestDesign(original, TestDesign{}));
    TestSettings settings;
    settings.fileCfg = original;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();

    std::string copy = dir + "\\copy.orp";
    PostMessageA(window, WM_COMMAND, kSaveDesignAs, 0);
    ASSERT_TRUE(ChooseFile(window, copy));
    EXPECT_TRUE(WaitUntil([&] { return FileExists(copy); }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(window) == "ORPpanel - " + copy; })) << WindowText(window);

    PostMessageA(window, WM_COMMAND, kOpenDesign, 0);
    ASSERT_TRUE(ChooseFile(window, original));
    // Opening stores the path lower-cased.
    std::string lowered = original;
    CharLowerA(&lowered[0]);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(window) == "ORPpanel - " + lowered; })) << WindowText(window);
}

TEST(FileCommands, WithoutTheOptionTheCommandsDoNothing) {
    PanelSession panel(OPT_ENGLISH);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    PostMessageA(window, WM_COMMAND, kOpenDesign, 0);
    PostMessageA(window, WM_COMMAND, 32800, 0);  // marker: Define Keys checks its menu entry
    ASSERT_TRUE(WaitUntil([&] { return (GetMenuState(GetMenu(window), 32800, MF_BYCOMMAND) & MF_CHECKED) != 0; }));
    EXPECT_EQ(nullptr, FindPanelDialog(window));
}

}  // namespace
