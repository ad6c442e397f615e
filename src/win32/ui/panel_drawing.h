// The LCD and LED drawing as the main window uses it.
#pragma once

#include <windows.h>

#if __has_include("lcd/lcd_painter.h")
#include "design/led_painter.h"
#include "lcd/lcd_painter.h"
#else
// Until the GDI drawing lands, the window shows the front plate without LCD and LEDs.
inline void InstallPanelDrawing(HWND) {}
inline void RemovePanelDrawing() {}
inline void PaintLcd(HDC) {}
inline void PaintLeds(HDC) {}
#endif
