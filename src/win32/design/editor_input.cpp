// Design editing (not built yet: nothing is taken, the dialogs do not open).
#include "design/editor_input.h"

bool EditorMouseMove(HWND, WPARAM, int, int) { return false; }
bool EditorLeftButtonDown(HWND, WPARAM, int, int) { return false; }
bool EditorLeftButtonUp(HWND, WPARAM, int, int) { return false; }
void EditorRightButtonUp(HWND, WPARAM, int, int) {}
void EditorKeyDown(HWND, WPARAM) {}
void EditorKeyUp(HWND, WPARAM) {}
bool EditorEscape(HWND) { return false; }
void OpenModelDialog(HWND) {}
void OpenObjectListDialog(HWND) {}
void OpenTipsDialog(HWND) {}
void OpenOptionsDialog(HWND) {}
