// What design mode and LCD placement draw over the front plate: dashed black outlines of keys
// (rounded rectangles), LEDs (circles), the object being moved, the rubber band and the LCD,
// ANDed with the screen so they show on any plate colour; and the object list's yellow
// highlight frame.
#pragma once

#include <windows.h>

#include "design/object_model.h"

// The paint handler's last drawing step for panelMode 1 and 2 (nothing in operating mode).
void PaintEditorOverlay(HDC dc);

// The object list's highlight: a yellow rounded rectangle 5 pixels wide round the object,
// drawn at once on the window.
void DrawSelectionFrame(HWND window, const stPanelObject* object);
