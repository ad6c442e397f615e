// The LCD control panel: a dialog that drives the LCD by hand.
#pragma once

#include <windows.h>

// Menu command 32841 with the control panel enabled.
void OpenLcdControlPanel(HWND window);
// F4 to F10 released over the main window while the control panel is open.
void LcdPanelFunctionKey(HWND window, WPARAM virtualKey);
