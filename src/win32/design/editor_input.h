// Design editing with mouse and keyboard, and the editor's dialogs opened from the menu.
// The mouse handlers say whether they took the message (an editing action or LCD placement;
// otherwise operating-mode input has it) and what of the panel area the window must repaint.
#pragma once

#include <windows.h>

#include "design/editor_state.h"

stEditorStep EditorMouseMove(HWND window, WPARAM keys, int x, int y);
stEditorStep EditorLeftButtonDown(HWND window, WPARAM keys, int x, int y);
bool EditorLeftButtonUp(HWND window, WPARAM keys, int x, int y);
void EditorRightButtonUp(HWND window, WPARAM keys, int x, int y);
void EditorKeyDown(HWND window, WPARAM virtualKey);
void EditorKeyUp(HWND window, WPARAM virtualKey);
// Escape: handled when it ended an editing state.
stEditorStep EditorEscape(HWND window);

// Menu commands 32802, 32803, 32804 and 32822.
void OpenModelDialog(HWND window);
void OpenObjectListDialog(HWND window);
void OpenTipsDialog(HWND window);
// True when the settings were changed: the window sizes itself to the new scale.
bool OpenOptionsDialog(HWND window);
