// Operating-mode input on the panel (not built yet: every handler ignores its message).
#include "ui/panel_input.h"

void PanelMouseMove(HWND, WPARAM, int, int) {}
void PanelLeftButtonDown(HWND, WPARAM, int, int) {}
void PanelLeftButtonUp(HWND, WPARAM, int, int) {}
void PanelControlReleased(HWND) {}
