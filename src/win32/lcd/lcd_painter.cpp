// Screen measurement, hook installation and the paint handler's LCD step.
#include "lcd/lcd_painter.h"

#include <cstdlib>

#include "design/lcd_geometry.h"
#include "lcd/lcd_draw.h"
#include "api/dll_panel.h"

namespace {
stGdiLcdSurface g_surface{};
stLcdDrawHook g_hook{};
LcdPaintMode g_mode = LcdPaintMode::kBuffered;
HWND g_window = nullptr;

bool OnWindows9x() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
}  // namespace

int MeasureScreen(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    uint32_t perX = 0, perY = 0;
    if (OnWindows9x()) {
        perX = static_cast<uint32_t>(GetDeviceCaps(dc, LOGPIXELSX)) * 10000u;
        perY = static_cast<uint32_t>(GetDeviceCaps(dc, LOGPIXELSY)) * 10000u;
    } else {
        // 10 000 inches are 25 400 000 hundredths of a millimetre.
        int previous = SetMapMode(dc, MM_HIMETRIC);
        POINT p{25400000, 25400000};
        if (LPtoDP(dc, &p, 1)) {
            perX = static_cast<uint32_t>(std::labs(p.x));
            perY = static_cast<uint32_t>(std::labs(p.y));
        }
        SetMapMode(dc, previous ? previous : MM_TEXT);
    }
    ReleaseDC(window, dc);
    return SetScreenResolution(DllPanel().design.scale, perX, perY);
}

void InstallPanelDrawing(HWND window) {
    g_window = window;
    MeasureScreen(window);
    ReleaseGdiLcdSurface(&g_surface);
    InitGdiLcdHook(&g_surface, &g_hook, window, g_mode);
}

void RemovePanelDrawing() {
    ReleaseGdiLcdSurface(&g_surface);
    g_surface.window = nullptr;
    g_window = nullptr;
}

HWND PanelDrawingWindow() { return g_window; }

const stLcdDrawHook* PanelDrawingSurface() { return g_window ? &g_hook : nullptr; }

const stLcdDrawHook* LendPaintDc(HDC dc) {
    if (!g_window || !dc) return nullptr;
    g_surface.lentDc = dc;
    return &g_hook;
}

void ReturnPaintDc() { g_surface.lentDc = nullptr; }

void SetLcdPaintMode(LcdPaintMode mode) {
    g_mode = mode;
    g_surface.mode = mode;
}

LcdPaintMode CurrentLcdPaintMode() { return g_mode; }
