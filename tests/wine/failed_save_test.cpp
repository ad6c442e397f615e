// Saves that write nothing: into a full file system (a small tmpfs that tests/wine/full_disk.sh
// mounts and names in ORP_FULL_DISK; without it that test skips) and under a name the save
// refuses. Each must say so, keep the old file and keep the design marked as modified.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "harness/modal_dialogs.h"
#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "harness/ui_driver.h"

namespace {

constexpr UINT kSave = 32771;
constexpr UINT kSaveAs = 32776;
constexpr UINT kExportPlate = 32781;
constexpr UINT kImportPlate = 32777;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string Lowered(std::string text) {
    CharLowerA(&text[0]);
    return text;
}

// Writes until the file system takes no more (bounded: 64 MB), then gives back 64 KiB: a
// write larger than that is cut short, which is not always reported as an error.
void FillUp(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    static const char block[4096] = {};
    DWORD written = sizeof block;
    for (int i = 0; i < 16384 && written == sizeof block; ++i)
        if (!WriteFile(file, block, sizeof block, &written, nullptr)) break;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    size.QuadPart = size.QuadPart > 65536 ? size.QuadPart - 65536 : 0;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

class FailedSave : public ::testing::Test {
protected:
    // Opens a design saved in `folder` and changes it: a front plate imported from elsewhere,
    // larger than the design's, so that the new design file will not fit where the old one was.
    void Start(const std::string& folder) {
        path = folder + "\\panel.orp";
        ASSERT_TRUE(WriteTestDesign(path, TestDesign{}));
        original = Bytes(path);
        TestSettings settings;
        settings.fileCfg = path;
        panel = std::make_unique<PanelSession>(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
        ASSERT_TRUE(panel->ok()) << panel->error();
        window = panel->panel();
        title = "ORPpanel - " + Lowered(path);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(window) == title; })) << WindowText(window);
        const std::string plate = MakeTempWorkDir("plate") + "\\larger.bmp";
        ASSERT_TRUE(WriteSolidBitmap(plate, 320, 200, 0x00204060));
        PostMessageA(window, WM_COMMAND, kImportPlate, 0);
        ASSERT_TRUE(ChooseFile(window, plate));
        ASSERT_TRUE(WaitUntil([&] { return SaveEnabled(); }));
    }
    void TearDown() override {
        if (panel) panel->Stop();
    }
    bool SaveEnabled() {
        HMENU file = GetSubMenu(GetMenu(window), 0);
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        return (GetMenuState(file, kSave, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    // The panel's message box: its text, after it is dismissed.
    std::string Refusal() {
        HWND box = WaitForDialog(window, "ORPpanel");
        if (!box) return "<no message box>";
        std::string text = MessageBoxText(box);
        ClickItem(box, IDOK);
        EXPECT_TRUE(WaitUntilClosed(box));
        return text;
    }
    // Nothing of the failed save is left: the old file, the title and the modified mark.
    void ExpectNothingChanged() {
        const std::string now = Bytes(path);
        EXPECT_TRUE(now == original) << "the old design was touched: " << now.size() << " bytes, not "
                                     << original.size();
        EXPECT_FALSE(FileExists(path + ".tmp")) << "the new file was left beside it";
        EXPECT_EQ(title, WindowText(window));
        EXPECT_TRUE(SaveEnabled()) << "the design no longer counts as modified";
    }

    std::string path, original, title;
    std::unique_ptr<PanelSession> panel;
    HWND window = nullptr;
};

TEST_F(FailedSave, IntoAFullFileSystemKeepsTheOldFileAndSaysSo) {
    if (const char* why = std::getenv("ORP_FULL_DISK_SKIP")) GTEST_SKIP() << "no full file system: " << why;
    const char* folder = std::getenv("ORP_FULL_DISK");
    if (!folder) GTEST_SKIP() << "needs a small file system: run through tests/wine/full_disk.sh (ctest wine_full_disk)";
    Start(folder);
    FillUp(std::string(folder) + "\\filler");

    PostMessageA(window, WM_COMMAND, kSave, 0);
    std::string text = Refusal();
    EXPECT_NE(std::string::npos, text.find("was not saved")) << text;
    EXPECT_NE(std::string::npos, text.find(Lowered(path))) << text;
    EXPECT_NE(std::string::npos, text.find("disk full")) << text;
    ExpectNothingChanged();

    const std::string plate = std::string(folder) + "\\plate.bmp";
    PostMessageA(window, WM_COMMAND, kExportPlate, 0);
    ASSERT_TRUE(ChooseFile(window, plate));
    EXPECT_NE(std::string::npos, Refusal().find("disk full"));
    EXPECT_FALSE(FileExists(plate));
    EXPECT_FALSE(FileExists(plate + ".tmp"));
}

TEST_F(FailedSave, UnderAnUpperCaseNameSavesNothingAndClosingStillAsks) {
    const std::string folder = MakeTempWorkDir("refused");
    Start(folder);
    const std::string upper = folder + "\\COPY.ORP";
    PostMessageA(window, WM_COMMAND, kSaveAs, 0);
    ASSERT_TRUE(ChooseFile(window, upper));
    std::string text = Refusal();
    EXPECT_NE(std::string::npos, text.find(upper)) << text;
    EXPECT_NE(std::string::npos, text.find("must end in .orp")) << text;
    EXPECT_FALSE(FileExists(upper));
    ExpectNothingChanged();

    // Yes to saving on close, and a save that fails again: the panel stays open.
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND question = WaitForDialog(window, "ORPpanel");
    ASSERT_NE(nullptr, question) << "closing did not ask to save";
    ClickItem(question, IDYES);
    ASSERT_TRUE(WaitUntilClosed(question));
    ASSERT_TRUE(ChooseFile(window, upper));
    EXPECT_NE(std::string::npos, Refusal().find("must end in .orp"));
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    ExpectNothingChanged();
}

}  // namespace
