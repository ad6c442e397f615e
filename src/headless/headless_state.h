// One headless panel: the core's panel record with the platform that stands in for the window
// (the caller's clock for the timers, recorded tones), and what the window itself would remember
// (the latched keys' looks, the backlight level last set).
#pragma once

#include <bitset>
#include <cstdint>
#include <map>
#include <string>

#include "common/platform.h"
#include "panel/panel.h"

struct orph_panel;

// The caller's clock drives the timers, tones are counted, the hand-over runs the dispatcher
// at once, the status line's text is kept, and the LCD is drawn only when a snapshot asks for
// the whole panel.
class HeadlessPlatform : public PanelPlatform {
public:
    explicit HeadlessPlatform(orph_panel& owner) : owner_(owner) {}
    void Beep(unsigned frequencyHz, unsigned durationMs) override;
    void StartTimer(int id, unsigned intervalMs) override;
    void StopTimer(int id) override;
    bool RepaintLcd() override { return true; }
    bool SetLcdBacklight(uint8_t level) override;
    bool HandOver() override;
    void StatusText(const char* text) override;

private:
    orph_panel& owner_;
};

// The window's timer of the operating tips in the status line.
constexpr int kTipTimerId = 3;

struct HeadlessTimer {
    unsigned interval;
    unsigned long long due;
};

struct orph_panel {
    stPanel panel;
    HeadlessPlatform platform{*this};
    std::map<int, HeadlessTimer> timers;  // running timers by id
    unsigned long long now = 0;           // the caller's clock in ms
    int beeps = 0;
    unsigned lastBeepHz = 0, lastBeepMs = 0;
    uint8_t backlight = 0;
    std::bitset<256> pressedLooks;  // keys latched with Ctrl+click show the pressed look
    std::string status;             // the status line (Windows-1252, as the core writes it)
    bool tipsTimerRunning = false;  // the mouse started the tips' rotation
};
