// The design file commands through the real common dialogs.
#include <gtest/gtest.h>

#include "harness/panel_session.h"
#include "harness/test_design.h"

namespace {

constexpr UINT kSaveDesignAs = 32776;
constexpr UINT kOpenDesign = 32770;

struct DialogSearch {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (GetWindowThreadProcessId(window, nullptr) == search->thread && lstrcmpA(cls, "#32770") == 0 &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindFileDialog(HWND panel) {
    DialogSearch search{GetWindowThreadProcessId(panel, nullptr), nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK MatchEdit(HWND window, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// The first common dialog of a fresh Wine session takes many seconds to come up.
constexpr DWORD kDialogTimeoutMs = 60000;

// Types `path` into the dialog's file name field and presses OK.
bool ChooseFile(HWND panel, const std::string& path) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindFileDialog(panel)) != nullptr; }, kDialogTimeoutMs)) {
        ADD_FAILURE() << "no file dialog appeared";
        return false;
    }
    HWND edit = nullptr;
    if (!WaitUntil(
            [&] {
                EnumChildWindows(dialog, MatchEdit, reinterpret_cast<LPARAM>(&edit));
                return edit != nullptr;
            },
            kDialogTimeoutMs)) {
        ADD_FAILURE() << "the file dialog has no file name field";
        return false;
    }
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    if (WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kDialogTimeoutMs)) return true;
    char title[256] = {};
    GetWindowTextA(dialog, title, sizeof title);
    ADD_FAILURE() << "the file dialog stayed open: " << title;
    return false;
}

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
    EXPECT_EQ(nullptr, FindFileDialog(window));
}

}  // namespace
