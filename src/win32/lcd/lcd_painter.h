// The panel window's drawing of the LCD and the LEDs.
//
// The main window calls, all on the user-interface thread:
//   create            InstallPanelDrawing(window)   measures the screen, makes the GDI LCD hook
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

// Remembers the window (where DrawLed draws), measures its screen and makes the GDI hook on it
// that the platform gives the core as its LCD surface.
void InstallPanelDrawing(HWND window);
// Forgets the window and its hook; drawing requests do nothing afterwards.
void RemovePanelDrawing();
// The window given to InstallPanelDrawing, null after RemovePanelDrawing.
HWND PanelDrawingWindow();
// The GDI hook on that window (the DLL platform's LcdSurface), null without a window.
const stLcdDrawHook* PanelDrawingSurface();

// The paint handler's device context goes to the installed hook, which draws on it instead of
// the window's own until ReturnPaintDc. Returns that hook, or null before InstallPanelDrawing.
const stLcdDrawHook* LendPaintDc(HDC dc);
void ReturnPaintDc();

// Direct or buffered painting (buffered is the default). Affects the next pass.
void SetLcdPaintMode(LcdPaintMode mode);
LcdPaintMode CurrentLcdPaintMode();
