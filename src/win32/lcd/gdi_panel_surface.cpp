#include "lcd/gdi_panel_surface.h"

#include "design/front_plate.h"
#include "design/led_painter.h"
#include "lcd/lcd_painter.h"
#include "api/dll_panel.h"

GdiPanelSurface::~GdiPanelSurface() {
    if (lent_) ReturnPaintDc();
}

void GdiPanelSurface::StretchPlate(int width, int height) {
    const stFrontPlate& plate = DllPanel().design.plate;
    if (!plate.bitmap) return;
    HDC source = CreateCompatibleDC(dc_);
    HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(plate.bitmap));
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, 0, 0, width, height, source, 0, 0, plate.widthPx, plate.heightPx, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

const stLcdDrawHook* GdiPanelSurface::LcdHook() {
    const stLcdDrawHook* hook = LendPaintDc(dc_);
    lent_ = hook != nullptr;
    return hook;
}

void GdiPanelSurface::FillLed(const stPanelObject& led) { DrawLedOn(dc_, &led); }
