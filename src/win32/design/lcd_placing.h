// LCD placement: an LCD type chosen from the LCDs menu follows the mouse as an outline until a
// left click puts it on the front plate; Escape gives up and brings the old LCD back.
#pragma once

#include <windows.h>

#include "design/editor_state.h"
#include "lcd/lcd_type.h"

// Each step returns what of the panel area the window has to repaint.

// From the LCDs menu: remembers the mode, switches to placement with the type as the candidate
// and its outline at (x, y).
PanelRepaint StartLcdPlacement(stLcdType* type, int x, int y);
// Mouse move during placement: the outline follows the cursor.
PanelRepaint MoveLcdPlacement(int x, int y);
// The placement click: the candidate becomes the design's LCD with its upper left corner at
// (x, y); the mode before placement returns and the design is modified.
PanelRepaint FinishLcdPlacement(HWND window, int x, int y);
// Escape during placement.
PanelRepaint CancelLcdPlacement();
