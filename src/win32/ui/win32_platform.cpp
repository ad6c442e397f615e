#include "ui/win32_platform.h"

#include "design/front_plate.h"
#include "design/led_painter.h"
#include "lcd/lcd_painter.h"
#include "link/connection.h"
#include "monitor/output_windows.h"
#include "api/dll_panel.h"
#include "protocol/host_link_hooks.h"
#include "settings/registry_settings.h"
#include "ui/window_registry.h"
#include "ui/panel_input.h"

namespace {

class Win32Platform : public PanelPlatform {
public:
    void Beep(unsigned frequencyHz, unsigned durationMs) override { ::Beep(frequencyHz, durationMs); }
    // The main window's timers; nothing before the window exists or after it is gone.
    void StartTimer(int id, unsigned intervalMs) override {
        if (Windows().hwndMain) SetTimer(Windows().hwndMain, static_cast<UINT_PTR>(id), intervalMs, nullptr);
    }
    void StopTimer(int id) override {
        if (Windows().hwndMain) KillTimer(Windows().hwndMain, static_cast<UINT_PTR>(id));
    }
    void Sleep(unsigned ms) override { ::Sleep(ms); }

    // The core draws the LCD through the GDI hook on the panel window; LEDs and key looks go on
    // the window given to InstallPanelDrawing.
    const stLcdDrawHook* LcdSurface() override { return PanelDrawingSurface(); }
    // Inside a host's hand-over the LCD is drawn after the host's call has returned.
    bool RepaintLcd() override { return DeferLcdRepaint(); }
    bool SetLcdBacklight(uint8_t level) override {
        (void)level;
        NoteLcdBackgroundDrawn();
        return false;  // the core sets the colours and draws the background
    }
    bool SetLcdContrast(uint8_t level) override {
        (void)level;
        NoteLcdBackgroundDrawn();
        return false;
    }
    void DrawLed(const stPanelObject& led) override { ::DrawLed(&led); }
    void DrawKeyLook(const stPixelRect& rect, int pressed) override { DrawKeyLookOnWindow(rect, pressed); }
    // The front plate as a device bitmap compatible with the window, from the bitmap file image.
    void* BuildPlateBitmap(void* window, void* previous, const uint8_t* infoHeader, const uint8_t* pixels) override {
        if (previous) DeleteObject(static_cast<HBITMAP>(previous));
        HWND target = static_cast<HWND>(window);
        HDC dc = GetDC(target);
        auto* info = reinterpret_cast<const BITMAPINFO*>(infoHeader);
        HBITMAP bitmap = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, pixels, info, DIB_RGB_COLORS);
        ReleaseDC(target, dc);
        return bitmap;
    }

    void ForwardToLink(const uint8_t* bytes, unsigned int length) override { RememberForward(bytes, length); }
    void ShowHostBytes(int direction, const uint8_t* bytes, unsigned int length, uint8_t activeMode,
                       uint8_t pendingMode) override {
        ShowHostBytesInMonitor(direction, bytes, length, activeMode, pendingMode);
    }
    bool HandOver() override {
        HandOverToPanelWindow();
        return true;
    }
    void ShowTargetKeys(const uint8_t* params, int count) override { ApplyTargetKeys(params, count); }

    void TraceText(const char* text) override { OutputTraceText(text); }
    void StatusText(const char* text) override { OutputStatusText(text); }
    void MonitorText(int direction, const char* line) override { OutputMonitorLine(direction, line); }
    bool ShowsMonitorLines() override { return MonitorWindowExists(); }
    bool ReadClock(bool utc, stClockTime* time) override { return OutputClock(utc, time); }

    int ReadStoredSettings(stSettings& settings) override { return ReadRegistrySettings(settings); }
    int WriteStoredSettings(stSettings& settings) override { return WriteRegistrySettings(settings); }
};

}  // namespace

PanelPlatform& DllPlatform() {
    static Win32Platform platform;
    return platform;
}

void ReleasePlateBitmap() {
    stFrontPlate& plate = DllPanel().design.plate;
    if (plate.bitmap) DeleteObject(static_cast<HBITMAP>(plate.bitmap));
    plate.bitmap = nullptr;
}
