// Mouse and keyboard messages of the main window. Each handler offers the message first to
// design editing and then to operating-mode input; key-ups also reach help, the LCD control
// panel's function keys and the release of all keys.
#pragma once

#include <windows.h>

void OnMouseMove(HWND window, WPARAM keys, int x, int y);
void OnLeftButtonDown(HWND window, WPARAM keys, int x, int y);
void OnLeftButtonUp(HWND window, WPARAM keys, int x, int y);
void OnRightButtonUp(HWND window, WPARAM keys, int x, int y);
void OnKeyDown(HWND window, WPARAM virtualKey);
void OnKeyUp(HWND window, WPARAM virtualKey);
void OnChar(HWND window, WPARAM character);
