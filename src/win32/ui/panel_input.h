// Operating-mode input on the panel: pressing and releasing keys with the mouse, Ctrl latching
// and release of all keys, tooltips and operating tips while the mouse moves, the connection
// icon, and the key looks drawn for key states a target reports.
#pragma once

#include <windows.h>

struct stPixelRect;

// Draws a key look on the main window: pressed, a sunken edge round the rectangle; unpressed,
// the rectangle repaints from the front plate (callable from any thread).
void DrawKeyLookOnWindow(const stPixelRect& rect, int pressed);

void PanelMouseMove(HWND window, WPARAM keys, int x, int y);
// Runs the tips timer anew with the design's tip interval; an interval of 0 stops it.
void RestartTipTimer(HWND window);
// With OPT_SHOW_COORDS: the cursor's client position and the window's screen position in the
// status line (every mouse move, editing or not).
void ShowMouseCoordinates(HWND window, int x, int y);
void PanelLeftButtonDown(HWND window, WPARAM keys, int x, int y);
void PanelLeftButtonUp(HWND window, WPARAM keys, int x, int y);
// Ctrl released: every key is released.
void PanelControlReleased(HWND window);
