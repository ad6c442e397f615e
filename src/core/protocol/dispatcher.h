// The incoming message dispatcher and its two companions, the reset announcement and the
// pending key buffer, plus the panel state that panel messages change (LED state bitmap, key
// click settings) and the key bitmaps that key reports are encoded from.
//
// Everything here runs on the user-interface thread: the main window calls
// DispatchAllMessages when the host path hands the incoming queue over, and its timer
// procedure calls DispatcherTimer for the reset announcement and key report timers. LCD
// instructions, data and reads go to the emulated controller (lcd/controller.h); the platform
// (tone, timers, LED drawing, pauses) is reached through stDispatcherHooks, whose unset members
// do nothing. The LCD display members default to the core's LCD drawing (lcd/lcd_draw.h:
// LcdSetBacklight, LcdSetContrast, LcdDrawCells over the installed LCD draw hook).
#pragma once

#include <cstdint>

struct stPanelObject;

// Timers of the main window served here.
constexpr int TIMER_RESET_ANNOUNCEMENT = 4;
constexpr unsigned kResetAnnouncementMs = 2000;
constexpr int TIMER_KEY_REPORT = 5;
constexpr unsigned kKeyReportRetryMs = 1000;
constexpr int kKeyReportMaxRetries = 7;

constexpr int kPendingKeyBufferSize = 512;
constexpr int kFillBufferSize = 160;

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

// ---- panel state --------------------------------------------------------------------------
uint8_t* LedStateBitmap();      // 32 bytes
uint8_t* KeyStateBitmap();      // 32 bytes, a set bit is a pressed key
uint8_t* ReportedKeyBitmap();   // 32 bytes, the key state as last reported
uint8_t* KeyClickMask();        // 32 bytes
uint8_t KeyClickMode();         // 0 silent, 1 every key, otherwise keys of the mask
// Whether the panel answers the host itself (no target connected).
bool PanelAnswers();

// Back to the load-time state: bitmaps, click settings, announcement and pending key buffer.
void ResetDispatcherState();

// ---- dispatcher ---------------------------------------------------------------------------
// Processes every message of the incoming queue, oldest first, and removes each one.
void DispatchAllMessages();
// Processes one unescaped frame (CR included).
void DispatchPanelMessage(const uint8_t* frame, int length);

// Recomputes and draws every LED whose refresh is pending from the LED state bitmap.
void UpdateLeds();

// ---- reset announcement -------------------------------------------------------------------
// Sets both protocol modes to 0, queues 'r' and (re)starts the announcement timer. A first
// send restarts the repetition count; every fifth repetition injects 'W' '?'.
void SendResetAnnouncement(int repeat);
int ResetAnnouncementRepetitions();

// ---- key reports --------------------------------------------------------------------------
// Encodes the difference between the key state and the reported key bitmap and sends it when
// it is due (directly, or through the pending key buffer when the mode asks for acks).
void SendKeyReport(int explicitRequest);

// Pending key buffer.
void SubmitKeyReport(const uint8_t* report, int length);
void AcknowledgeKeyReports(uint8_t sequence);
void RetransmitKeyReports();  // timer 5 expired

struct stPendingKeyState {
    int held;          // T: bytes held, the leading 'k' included
    int outstanding;   // O: bytes covered by the last transmission
    uint8_t sequence;  // Q: sequence byte of that transmission
    int retries;
};
stPendingKeyState PendingKeyState();
const uint8_t* PendingKeyBytes();

// Timer procedure share: handles the announcement and key report timers. Returns 1 when the
// id was one of them.
int DispatcherTimer(int id);
