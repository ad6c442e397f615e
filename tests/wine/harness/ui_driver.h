// Driving the panel's real user interface from a Wine test: mouse and keyboard as real input
// (SendInput), and the panel's modal dialogs and message boxes found by title and worked by
// control id from the test's thread while the panel's thread runs them.
#pragma once

#include <windows.h>

#include <string>

// A visible dialog ("#32770") of the panel's thread with that title, waiting up to `timeoutMs`.
HWND WaitForDialog(HWND panel, const std::string& title, DWORD timeoutMs = 30000);
// Any visible dialog of the panel's thread, or null.
HWND AnyDialog(HWND panel);
bool WaitUntilClosed(HWND dialog, DWORD timeoutMs = 30000);

std::string ItemText(HWND dialog, int id);
// Sets the text of a control (the dialog sees the change notification).
void SetItemText(HWND dialog, int id, const std::string& text);
// Clicks a button as a person would (posted, so a dialog it opens does not block the test).
void ClickItem(HWND dialog, int id);
bool ItemVisible(HWND dialog, int id);
// The texts of a message box's static controls, joined.
std::string MessageBoxText(HWND box);

// Real input at client coordinates of `window`.
class PanelMouse {
public:
    explicit PanelMouse(HWND window);
    void MoveTo(int x, int y);
    void LeftDown(int x, int y);
    void LeftUp(int x, int y);
    void RightClick(int x, int y);
    // Press at `from`, move in steps to `to`, release there.
    void Drag(int fromX, int fromY, int toX, int toY);

private:
    HWND window_;
    void Event(int x, int y, DWORD buttons);
};

// Shift and the mouse as the window receives them, posted. Editing needs Shift held during the
// mouse messages; real Shift input does not serve there, because the display resets the
// modifier keys to its own state (which knows nothing of keys sent as input) when the pointer
// enters a window.
void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y);
void PostShiftDown(HWND window);
void PostShiftUp(HWND window);
// Shift held, press at `from`, move in steps (button down) to `to`; the release is left out
// when `release` is false.
void PostShiftDrag(HWND window, int fromX, int fromY, int toX, int toY, bool release = true);

// A 24-bit bitmap file of the screen rectangle (screen coordinates).
bool SaveScreenRect(const RECT& rect, const std::string& path);

void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
