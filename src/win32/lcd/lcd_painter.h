// The panel window's drawing of the LCD and the LEDs.
//
// The main window calls, all on the user-interface thread:
//   create            InstallPanelDrawing(window)   measures the screen, installs the LCD draw hook
//                                                    and gives DrawLed (design/led_painter.h) its window
//   paint             PaintLcd(dc); PaintLeds(dc)  (design/led_painter.h), after the front plate
//   first activation  LcdInvalidateCells, LcdSendInitSequence   (core functions)
//   timer 2           LcdBlinkTick                               (core function)
//   destroy           RemovePanelDrawing()
// Outside the paint handler the LCD draws itself on the window's device context whenever the
// dispatcher, the contrast, the backlight or the blink timer change it.
#pragma once

#include <windows.h>

#include "lcd/gdi_lcd_hook.h"

// Sets the screen resolution of the coordinate scaling from the window's screen: on the
// Windows 95/98 platform from LOGPIXELSX/Y, elsewhere by converting 10 000 inches in HIMETRIC
// units to device units. Returns 0 (the resolution stays as it was) when nothing sensible could
// be measured.
int MeasureScreen(HWND window);

// Remembers the window (where DrawLed draws), measures its screen and installs the GDI hook on it
// as the LCD draw hook.
void InstallPanelDrawing(HWND window);
// Uninstalls the LCD draw hook and forgets the window; drawing requests do nothing afterwards.
void RemovePanelDrawing();
// The window given to InstallPanelDrawing, null after RemovePanelDrawing.
HWND PanelDrawingWindow();

// The paint handler's LCD step: the background (which invalidates every cell) and every cell, on
// the paint handler's device context. Does nothing without an LCD in the design.
void PaintLcd(HDC dc);

// Lays out the design's current LCD type at its logical position (frame, dot size, columns and
// rows, controller geometry). For a design that was just opened or a window that was rescaled.
// Returns 0 without a placed LCD.
int LayOutCurrentLcd();

// Direct or buffered painting (buffered is the default). Affects the next pass.
void SetLcdPaintMode(LcdPaintMode mode);
LcdPaintMode CurrentLcdPaintMode();
