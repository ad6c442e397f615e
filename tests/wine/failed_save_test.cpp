// Saves that write nothing say so and keep the old file, the title and the modified mark: under
// a name the save refuses, and, run through tests/wine/full_disk.sh (which mounts a 256 KiB
// tmpfs and names it in ORP_FULL_DISK), into a file system too small for the new design.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "harness/modal_dialogs.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "harness/ui_driver.h"

namespace {

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FailedSave, SaysWhyAndKeepsTheOldFileTheTitleAndTheModifiedMark) {
    const char* fullDisk = std::getenv("ORP_FULL_DISK");
    const std::string folder = fullDisk ? fullDisk : MakeTempWorkDir("refused");
    const std::string path = folder + "\\panel.orp";
    ASSERT_TRUE(WriteTestDesign(path, TestDesign{}));  // about 87 KB
    const std::string original = Bytes(path);
    TestSettings settings;
    settings.fileCfg = path;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    HWND window = panel.panel();
    std::string opened = path;
    CharLowerA(&opened[0]);
    const std::string title = "ORPpanel - " + opened;
    ASSERT_TRUE(WaitUntil([&] { return WindowText(window) == title; })) << WindowText(window);
    auto saveEnabled = [&] {
        HMENU file = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        return (GetMenuState(file, 32771, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    };
    auto expectNotSaved = [&](const std::string& file, const char* why) {
        HWND box = WaitForDialog(window, "ORPpanel");
        EXPECT_NE(nullptr, box) << "no message box";
        if (box) {
            const std::string text = MessageBoxText(box);
            EXPECT_EQ(0u, text.find("The file was not saved:")) << text;
            EXPECT_NE(std::string::npos, text.find(file)) << text;
            EXPECT_NE(std::string::npos, text.find(why)) << text;
            ClickItem(box, IDOK);
            ASSERT_TRUE(WaitUntilClosed(box));
        }
        const std::string now = Bytes(path);
        EXPECT_TRUE(now == original) << "the old design was touched: " << now.size() << " bytes";
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path + ".saving~").c_str()));
        if (file != opened) {
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
        }
        EXPECT_EQ(title, WindowText(window));
        EXPECT_TRUE(saveEnabled()) << "the design no longer counts as modified";
    };

    // A front plate of 360 KB from elsewhere: the changed design fits neither beside the old
    // one nor in its place.
    const std::string plate = MakeTempWorkDir("plate") + "\\larger.bmp";
    ASSERT_TRUE(WriteSolidBitmap(plate, 400, 300, 0x00204060));
    PostMessageA(window, WM_COMMAND, 32777, 0);  // Import front plate
    ASSERT_TRUE(ChooseFile(window, plate));
    ASSERT_TRUE(WaitUntil(saveEnabled));
    if (fullDisk) {
        PostMessageA(window, WM_COMMAND, 32771, 0);  // Save
        expectNotSaved(opened, "disk full");
    }

    const std::string upper = folder + "\\COPY.ORP";
    PostMessageA(window, WM_COMMAND, 32776, 0);  // Save as
    ASSERT_TRUE(ChooseFile(window, upper));
    expectNotSaved(upper, "must end in .orp");
    // Yes to saving on close, and a save that fails again: the panel stays open.
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND question = WaitForDialog(window, "ORPpanel");
    ASSERT_NE(nullptr, question) << "closing did not ask to save";
    ClickItem(question, IDYES);
    ASSERT_TRUE(WaitUntilClosed(question));
    ASSERT_TRUE(ChooseFile(window, upper));
    expectNotSaved(upper, "must end in .orp");
    EXPECT_TRUE(IsWindow(window));
}

}  // namespace
