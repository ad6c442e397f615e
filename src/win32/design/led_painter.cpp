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
