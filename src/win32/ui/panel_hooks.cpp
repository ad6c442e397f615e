#include "panel/panel.h"
#include "ui/panel_hooks.h"

#include "design/front_plate.h"
#include "design/led_painter.h"
#include "protocol/dispatcher.h"
#include "ui/app_state.h"
#include "ui/panel_input.h"

namespace {
void PanelBeep(unsigned frequencyHz, unsigned durationMs) { Beep(frequencyHz, durationMs); }

void StartPanelTimer(int id, unsigned intervalMs) {
    if (AppState().hwndMain) SetTimer(AppState().hwndMain, static_cast<UINT_PTR>(id), intervalMs, nullptr);
}

void StopPanelTimer(int id) {
    if (AppState().hwndMain) KillTimer(AppState().hwndMain, static_cast<UINT_PTR>(id));
}

void PanelSleep(unsigned ms) { Sleep(ms); }

// The front plate as a device bitmap compatible with the window, from the bitmap file image.
void* BuildPlateBitmap(void* window, void* previous, const uint8_t* infoHeader, const uint8_t* pixels) {
    if (previous) DeleteObject(static_cast<HBITMAP>(previous));
    HWND target = static_cast<HWND>(window);
    HDC dc = GetDC(target);
    auto* info = reinterpret_cast<const BITMAPINFO*>(infoHeader);
    HBITMAP bitmap = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, pixels, info, DIB_RGB_COLORS);
    ReleaseDC(target, dc);
    return bitmap;
}
}  // namespace

void InstallPanelHooks(HWND) {
    // The whole record in one place; the LCD members stay null (the core's LCD drawing), and the
    // LEDs draw on the window InstallPanelDrawing was given (nothing before or after it).
    stDispatcherHooks hooks{};
    hooks.beep = PanelBeep;
    hooks.startTimer = StartPanelTimer;
    hooks.stopTimer = StopPanelTimer;
    hooks.sleep = PanelSleep;
    hooks.drawLed = DrawLed;
    SetDispatcherHooks(&hooks);
    SetPlateBitmapBuilder(BuildPlateBitmap);
    InstallKeyLooks();
}

void ReleasePlateBitmap() {
    stFrontPlate& plate = ProcessPanel().design.plate;
    if (plate.bitmap) DeleteObject(static_cast<HBITMAP>(plate.bitmap));
    plate.bitmap = nullptr;
}
