// The platform side of the dispatcher and its companions: tone, the main window's timers, LED
// drawing and pauses, plus the LCD display levels. Unset members do nothing; the LCD members
// default to the core's LCD drawing (lcd/lcd_draw.h: LcdSetBacklight, LcdSetContrast,
// LcdDrawCells over the installed LCD draw hook).
#pragma once

#include <cstdint>

struct stPanelObject;

struct stDispatcherHooks {
    // Platform.
    void (*beep)(unsigned frequencyHz, unsigned durationMs);  // returns when the tone ends
    void (*startTimer)(int id, unsigned intervalMs);          // (re)starts a main window timer
    void (*stopTimer)(int id);
    void (*repaintLcd)();  // redraw the LCD cells now; null: LcdDrawCells(LcdDrawHook())
    void (*drawLed)(const stPanelObject* led);                 // filled ellipse in led->colour
    void (*sleep)(unsigned ms);
    // LCD display (levels 0..255); null: LcdSetBacklight / LcdSetContrast.
    void (*lcdSetBacklight)(uint8_t level);
    void (*lcdSetContrast)(uint8_t level);
};

// Installs the hooks (copied); null clears them.
void SetDispatcherHooks(const stDispatcherHooks* hooks);
// The installed hooks, so that one member can be changed without losing the others.
stDispatcherHooks DispatcherHooks();
