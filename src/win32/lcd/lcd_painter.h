// The panel window's drawing of the LCD and the LEDs.
//
// The main window calls, all on the user-interface thread:
//   create            InstallPanelDrawing(window)   measures the screen, installs the LCD draw hook
//                                                    and gives DrawLed (design/led_painter.h) its window
//   paint             PaintPanel (core/panel/panel_surface.h) on a GdiPanelSurface, which
//                     lends the paint handler's device context to the hook (LendPaintDc)
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

// The paint handler's device context goes to the installed hook, which draws on it instead of
// the window's own until ReturnPaintDc. Returns that hook, or null before InstallPanelDrawing.
const stLcdDrawHook* LendPaintDc(HDC dc);
void ReturnPaintDc();

// Direct or buffered painting (buffered is the default). Affects the next pass.
void SetLcdPaintMode(LcdPaintMode mode);
LcdPaintMode CurrentLcdPaintMode();
