// Dialogs and message boxes of the panel, found and driven from the test's thread while the
// panel's thread sits in their modal loop.
#pragma once

#include <windows.h>

#include <string>

// The first common dialog of a fresh Wine session takes many seconds to come up.
constexpr DWORD kDialogTimeoutMs = 60000;

// A visible dialog ("#32770") of the panel's thread, or null.
HWND FindPanelDialog(HWND panel);
// Waits for one; null (and a test failure naming `what`) when none appears.
HWND WaitForPanelDialog(HWND panel, const char* what);
// The texts of the dialog's static controls, each followed by "\n" (a message box's question).
std::string DialogStaticTexts(HWND dialog);
// Presses the button `id` and waits until the dialog is gone.
bool PressDialogButton(HWND dialog, int id);
// Types `path` into the file dialog's name field and presses OK.
bool ChooseFile(HWND panel, const std::string& path);
// The value under the panel's settings key of the current user ("<missing>" when absent).
std::string StoredSetting(const char* name);
