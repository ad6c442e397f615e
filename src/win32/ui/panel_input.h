// Operating-mode input on the panel: pressing and releasing keys with the mouse, Ctrl latching
// and release of all keys, tooltips and operating tips while the mouse moves.
#pragma once

#include <windows.h>

void PanelMouseMove(HWND window, WPARAM keys, int x, int y);
void PanelLeftButtonDown(HWND window, WPARAM keys, int x, int y);
void PanelLeftButtonUp(HWND window, WPARAM keys, int x, int y);
// Ctrl released: every key is released.
void PanelControlReleased(HWND window);
