// Design editing with mouse and keyboard, and the editor's dialogs opened from the menu.
// The mouse handlers return true when they took the message (an editing action or LCD
// placement), false to let operating-mode input have it.
#pragma once

#include <windows.h>

bool EditorMouseMove(HWND window, WPARAM keys, int x, int y);
bool EditorLeftButtonDown(HWND window, WPARAM keys, int x, int y);
bool EditorLeftButtonUp(HWND window, WPARAM keys, int x, int y);
void EditorRightButtonUp(HWND window, WPARAM keys, int x, int y);
void EditorKeyDown(HWND window, WPARAM virtualKey);
void EditorKeyUp(HWND window, WPARAM virtualKey);
// Escape: true when it ended an editing state.
bool EditorEscape(HWND window);

// Menu commands 32802, 32803, 32804 and 32822.
void OpenModelDialog(HWND window);
void OpenObjectListDialog(HWND window);
void OpenTipsDialog(HWND window);
void OpenOptionsDialog(HWND window);
