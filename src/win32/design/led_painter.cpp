// LED ellipses on the panel window.
#include "design/led_painter.h"

#include "lcd/lcd_painter.h"
#include "panel/panel.h"

void DrawLedOn(HDC dc, const stPanelObject* led) {
    if (!dc || !led) return;
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(led->colour & 0x00FFFFFF));
    if (!brush) return;
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const stPixelRect& r = led->pixelRect();
    Ellipse(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void DrawLed(const stPanelObject* led) {
    HWND window = PanelDrawingWindow();
    if (!window || !led) return;
    HDC dc = GetDC(window);
    if (!dc) return;
    DrawLedOn(dc, led);
    ReleaseDC(window, dc);
}

void PaintLeds(HDC dc) {
    if (!dc) return;
    // SelectLedsById takes the list lock for each selection; the lock is not held while drawing,
    // so a host thread that waits for this thread while holding it cannot block the paint. The
    // selected copies are changed only by this thread.
    for (int32_t id = 0; id < 255; ++id) {
        stObjList* selection = SelectLedsById(ProcessPanel().design, ProcessPanel().design.leds, id);
        if (!selection) continue;
        for (stListNode* node = selection->first; node; node = node->next)
            DrawLedOn(dc, static_cast<const stPanelObject*>(node->item));
    }
}
