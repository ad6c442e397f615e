// The panel window's paint handler draws on this: the front plate's bitmap stretched with
// COLORONCOLOR, the LCD through the installed GDI hook on the paint handler's device context,
// the LEDs as ellipses.
#pragma once

#include <windows.h>

#include "panel/panel_surface.h"

class GdiPanelSurface : public PanelSurface {
public:
    explicit GdiPanelSurface(HDC dc) : dc_(dc) {}
    ~GdiPanelSurface() override;
    GdiPanelSurface(const GdiPanelSurface&) = delete;
    GdiPanelSurface& operator=(const GdiPanelSurface&) = delete;

    void StretchPlate(int width, int height) override;
    const stLcdDrawHook* LcdHook() override;
    void FillLed(const stPanelObject& led) override;

private:
    HDC dc_;
    bool lent_ = false;
};
