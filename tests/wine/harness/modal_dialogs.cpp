#include "harness/modal_dialogs.h"

#include <gtest/gtest.h>

#include "harness/panel_dll.h"

namespace {
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

BOOL CALLBACK MatchEdit(HWND window, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
        std::string text = WindowText(window);
        if (!text.empty()) *reinterpret_cast<std::string*>(param) += text + "\n";
    }
    return TRUE;
}
}  // namespace

HWND FindPanelDialog(HWND panel) {
    DialogSearch search{GetWindowThreadProcessId(panel, nullptr), nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForPanelDialog(HWND panel, const char* what) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindPanelDialog(panel)) != nullptr; }, kDialogTimeoutMs))
        ADD_FAILURE() << "no " << what << " appeared";
    return dialog;
}

std::string DialogStaticTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool PressDialogButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kDialogTimeoutMs);
}

bool ChooseFile(HWND panel, const std::string& path) {
    HWND dialog = WaitForPanelDialog(panel, "file dialog");
    if (!dialog) return false;
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
    ADD_FAILURE() << "the file dialog stayed open: " << WindowText(dialog);
    return false;
}

std::string StoredSetting(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavelle\\OrPpanel\\Settings", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return "<missing>";
    char data[512] = {};
    DWORD size = sizeof data - 1;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data) : "<missing>";
}
