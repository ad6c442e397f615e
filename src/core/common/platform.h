// What a panel needs from the system it runs on: sound, timers and pauses, drawing on the panel
// window, the target link, the hand-over to the user-interface thread, the trace, status and
// monitor windows, the clock and the settings store.
//
// A front end implements it once (the DLL's window, the headless panel, a test's fake) and
// installs it on its panel (InstallPlatform, panel/panel.h); the subsystems reach it through
// the record they work on. Every member has a default that does nothing, so a panel without a
// front end runs on NoPlatform(). Members that return bool report whether they handled the
// request; false lets the core do its own default.
//
// Threads: the target's key reports and the trace and monitor texts also arrive on the serial
// reader's and the host's threads, so those members must be callable from any thread.
#pragma once

#include <cstdint>

#include "common/geometry_types.h"

// Directions of the Rx/Tx monitor.
constexpr int MONITOR_HOST_TO_PANEL = 1;
constexpr int MONITOR_PANEL_TO_HOST = 2;

struct stLcdDrawHook;
struct stPanelObject;
struct stClockTime;
struct stSettings;

class PanelPlatform {
public:
    virtual ~PanelPlatform() = default;

    // ---- sound, timers, pauses -----------------------------------------------------------
    // Sounds a tone; returns when it ends.
    virtual void Beep(unsigned frequencyHz, unsigned durationMs) { (void)frequencyHz, (void)durationMs; }
    // (Re)starts or stops one of the main window's timers.
    virtual void StartTimer(int id, unsigned intervalMs) { (void)id, (void)intervalMs; }
    virtual void StopTimer(int id) { (void)id; }
    virtual void Sleep(unsigned ms) { (void)ms; }

    // ---- the panel window ------------------------------------------------------------------
    // The surface the core draws the LCD on outside a paint (the dispatcher's repaint, contrast,
    // backlight, the blink): the panel window's device context while the window exists. Null:
    // nothing is drawn.
    virtual const stLcdDrawHook* LcdSurface() { return nullptr; }
    // Redraws the changed LCD cells now. False: the core draws them on LcdSurface().
    virtual bool RepaintLcd() { return false; }
    // Sets the LCD's backlight or contrast level (0..255). False: the core's LcdSetBacklight or
    // LcdSetContrast.
    virtual bool SetLcdBacklight(uint8_t level) { (void)level; return false; }
    virtual bool SetLcdContrast(uint8_t level) { (void)level; return false; }
    // Draws one LED as a filled ellipse in its current colour.
    virtual void DrawLed(const stPanelObject& led) { (void)led; }
    // Pressed: a sunken edge round the rectangle; unpressed: the rectangle repaints from the
    // front plate. The rectangle is already shrunk to the look's size.
    virtual void DrawKeyLook(const stPixelRect& rect, int pressed) { (void)rect, (void)pressed; }
    // Makes the device bitmap of the front plate for `window` from a checked bitmap image and
    // returns its handle; `previous` is the old handle, for the platform to delete. The default
    // keeps the old one.
    virtual void* BuildPlateBitmap(void* window, void* previous, const uint8_t* infoHeader,
                                   const uint8_t* pixels) {
        (void)window, (void)infoHeader, (void)pixels;
        return previous;
    }

    // ---- the host path and the target link ---------------------------------------------
    // Hands the bytes of a host call, unchanged, to the open target link.
    virtual void ForwardToLink(const uint8_t* bytes, unsigned int length) { (void)bytes, (void)length; }
    // Shows bytes of the host path in the Rx/Tx monitor (a MONITOR_* direction), decoded with
    // the protocol modes at the time of the call.
    virtual void ShowHostBytes(int direction, const uint8_t* bytes, unsigned int length, uint8_t activeMode,
                               uint8_t pendingMode) {
        (void)direction, (void)bytes, (void)length, (void)activeMode, (void)pendingMode;
    }
    // Runs the dispatcher on the user-interface thread and returns once it has emptied the
    // incoming queue. False: nobody took the queue, and the core discards its messages.
    virtual bool HandOver() { return false; }
    // Shows a key report of the target on the panel: the parameters of a 'k' message.
    virtual void ShowTargetKeys(const uint8_t* params, int count) { (void)params, (void)count; }

    // ---- diagnostics -----------------------------------------------------------------------
    // One trace text, one status line text, one finished Rx/Tx monitor line of a direction.
    virtual void TraceText(const char* text) { (void)text; }
    virtual void StatusText(const char* text) { (void)text; }
    virtual void MonitorText(int direction, const char* line) { (void)direction, (void)line; }
    // Whether monitor lines are shown anywhere: false lets the core skip making them when no
    // log records them either.
    virtual bool ShowsMonitorLines() { return true; }
    // Fills `time` with the local (utc false) or UTC time. False: the standard library clock.
    virtual bool ReadClock(bool utc, stClockTime* time) { (void)utc, (void)time; return false; }

    // ---- settings store --------------------------------------------------------------------
    // Reads or writes the panel's settings where the platform keeps them. Return 1 on success;
    // the default has no store and returns 0.
    virtual int ReadStoredSettings(stSettings& settings) { (void)settings; return 0; }
    virtual int WriteStoredSettings(stSettings& settings) { (void)settings; return 0; }
};

// A platform that does nothing: what a panel runs on until its front end installs its own.
PanelPlatform& NoPlatform();
