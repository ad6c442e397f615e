// The headless panel: the core's dispatcher, host link, LCD controller and design model behind
// the entry points of orppanel_headless.h, with a clock of the caller's in place of the
// window's timers and recorded tones in place of the speaker.
//
// It follows what the window does around the core: the first activation (LCD power-up, reset
// announcement, blink timer), the design load (LCD colours, character set, layout, object
// pixel rectangles), and the mouse's key actions (press, release, latch, release all, click).
#include "orppanel_headless.h"

#include <cstring>
#include <map>

#include "design/design_file.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "headless/headless_render.h"
#include "headless/lcd_text.h"
#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_library.h"
#include "panel/bring_up.h"
#include "panel/panel.h"
#include "panel/panel_layout.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "protocol/key_input.h"
#include "protocol/protocol.h"

namespace {
constexpr unsigned kClickHz = 3000;
constexpr unsigned kClickMs = 75;

struct Timer {
    unsigned interval;
    unsigned long long due;
};
std::map<int, Timer> g_timers;  // running timers by id
unsigned long long g_now = 0;
bool g_open = false;
int g_beeps = 0;
unsigned g_lastBeepHz = 0, g_lastBeepMs = 0;
uint8_t g_backlight = 0;

stProtocol& Protocol() { return ProcessPanel().protocol; }

void RecordBeep(unsigned hz, unsigned ms) {
    ++g_beeps;
    g_lastBeepHz = hz;
    g_lastBeepMs = ms;
}
void StartTimer(int id, unsigned intervalMs) { g_timers[id] = Timer{intervalMs, g_now + intervalMs}; }

// The caller's clock drives the timers, tones are counted, the hand-over runs the dispatcher
// at once, and the LCD is drawn only when a snapshot asks for the whole panel.
class HeadlessPlatform : public PanelPlatform {
public:
    void Beep(unsigned hz, unsigned ms) override { RecordBeep(hz, ms); }
    void StartTimer(int id, unsigned intervalMs) override { ::StartTimer(id, intervalMs); }
    void StopTimer(int id) override { g_timers.erase(id); }
    bool RepaintLcd() override { return true; }
    bool SetLcdBacklight(uint8_t level) override {
        g_backlight = level;
        LcdSetBacklight(ProcessPanel().lcdDraw, level);
        return true;
    }
    bool HandOver() override {
        DispatchAllMessages(PanelDispatch(ProcessPanel()));
        return true;
    }
} g_platform;

void FireTimer(int id) {
    if (id == kBlinkTimerId)
        LcdBlinkTick(ProcessPanel().lcdDraw, ProcessPanel().lcd);
    else
        DispatcherTimer(Protocol(), id);
}

bool ValidId(int id) { return id >= 0 && id <= 255; }
bool Bit(const uint8_t* bitmap, int id) { return (bitmap[id >> 3] >> (id & 7)) & 1; }

// The key click rule of the mouse: mode 1 clicks for every key, any other non-zero mode for
// the keys of the click mask.
void ClickCheck(int id) {
    const stProtocol& p = Protocol();
    if (KeyClickWanted(p.clickMode, p.clickMask, id >> 3, static_cast<uint8_t>(1u << (id & 7)))) RecordBeep(kClickHz, kClickMs);
}

// As the window shows a design: the plate, the objects, the LCD unlit in its character set.
void LayOutDesign() {
    BuildPlate(ProcessPanel().design.plate, ProcessPanel().design.scale, ProcessPanel().monitor, nullptr);
    LayOutObjects(ProcessPanel());
    if (stLcdType* type = CurrentLcdType(ProcessPanel().lcdDraw)) {
        ShowLcdUnlit(ProcessPanel());
        LcdSelectCharSet(ProcessPanel().lcd, type->font ? type->font[0] : 'N');
    }
    LayOutCurrentLcd(ProcessPanel());
}

// The DDRAM index of each shown cell of a row, as the drawing pass walks it; -1 when the row
// is not shown or the controller has not been set up.
int RowAddresses(int row, int* out) {
    const LcdController& c = ProcessPanel().lcd;
    if (c.lineLength == 0) return -1;
    return LcdRowAddresses(c, row, out);
}

void SetKey(int id, bool down) {
    uint8_t& byte = Protocol().keyState[id >> 3];
    const uint8_t bit = static_cast<uint8_t>(1u << (id & 7));
    byte = static_cast<uint8_t>(down ? (byte | bit) : (byte & ~bit));
}
}  // namespace

extern "C" {

int orph_open(void) {
    if (g_open) orph_close();
    if (!CreatePanelLists(ProcessPanel())) return 0;
    g_open = true;
    g_timers.clear();
    g_now = 0;
    g_beeps = 0;
    g_lastBeepHz = g_lastBeepMs = 0;
    g_backlight = 0;
    ProcessPanel().design.model = stPanelModel{};
    AnswerHostItself(ProcessPanel());  // there is no target
    ResetProtocolState(Protocol());
    ResetDispatcherState(Protocol());
    ResetHostLink(Protocol());
    ResetGeometry(ProcessPanel());
    SetScreenResolution(ProcessPanel().design.scale, kDefaultPixelsPer10kInch, kDefaultPixelsPer10kInch);
    InstallPlatform(ProcessPanel(), &g_platform);
    LcdClearState(ProcessPanel().lcd);
    LcdReset(ProcessPanel().lcd);
    PowerUpLcd(ProcessPanel());
    StartTimer(kBlinkTimerId, kBlinkIntervalMs);
    AnnounceReset(ProcessPanel());
    return 1;
}

void orph_close(void) {
    if (!g_open) return;
    InstallPlatform(ProcessPanel(), nullptr);
    ResetHostLink(Protocol());
    ResetDispatcherState(Protocol());
    ResetProtocolState(Protocol());
    ResetLedSelectionCache(ProcessPanel().design);
    SetCurrentLcdType(ProcessPanel().lcdDraw, nullptr);
    FreeLcdLibrary(ProcessPanel().lcdLibrary, ProcessPanel().lcdDraw);
    ReleasePlate(ProcessPanel().design.plate);
    FreePanelLists(ProcessPanel());
    g_timers.clear();
    g_open = false;
}

int orph_load_design(const char* path) {
    if (!g_open || !path || !LoadDesign(ProcessPanel().design, DesignLcdOf(ProcessPanel()), path)) return 0;
    ResetLedSelectionCache(ProcessPanel().design);
    LayOutDesign();
    UpdateLeds(Protocol());
    return 1;
}

int orph_set_resolution(unsigned int pixelsPer10kInchX, unsigned int pixelsPer10kInchY) {
    if (!g_open || !SetScreenResolution(ProcessPanel().design.scale, pixelsPer10kInchX, pixelsPer10kInchY)) return 0;
    LayOutDesign();
    return 1;
}

int orph_load_lcd_library(const char* folder) {
    if (!g_open || !folder || !LoadLcdLibrary(ProcessPanel().lcdLibrary, ProcessPanel().lcdDraw, ProcessPanel().monitor, folder)) return -1;
    int types = 0;
    for (int i = 0; i < LcdFileCount(ProcessPanel().lcdLibrary); ++i)
        if (stObjList* list = LcdTypesOfFile(ProcessPanel().lcdLibrary, i)) types += static_cast<int>(list->count);
    return types;
}

void orph_receive_from_app(const unsigned char* data, unsigned int length) {
    if (g_open) HostLinkReceiveFromApp(Protocol(), data, length);
}
void orph_set_rx_target(void (*callback)(void), unsigned char* byteBuffer) {
    HostLinkSetRxTarget(Protocol(), callback, byteBuffer);
}
void orph_check_rx(void) {
    if (g_open) HostLinkCheckRx(Protocol());
}

int orph_read_to_host(unsigned char* out, int capacity) {
    if (!g_open) return 0;
    const stQueuedMessage* message = Protocol().toHost.Front();
    if (!message) return 0;
    const int length = static_cast<int>(message->length);
    if (!out || capacity < length) return -length;
    std::memcpy(out, message->bytes, static_cast<size_t>(length));
    Protocol().toHost.Remove(message);
    return length;
}

void orph_advance_ms(unsigned int ms) {
    const unsigned long long end = g_now + ms;
    for (;;) {
        int id = -1;
        unsigned long long due = end + 1;
        for (const auto& [timerId, timer] : g_timers)
            if (timer.due <= end && timer.due < due) {
                id = timerId;
                due = timer.due;
            }
        if (id < 0) break;
        g_now = due;
        Timer& timer = g_timers[id];
        timer.due += timer.interval ? timer.interval : 1;  // periodic, as a window timer
        FireTimer(id);
    }
    g_now = end;
}

unsigned long long orph_now_ms(void) { return g_now; }

int orph_lcd_rows(void) { return CurrentLcdType(ProcessPanel().lcdDraw) ? ProcessPanel().lcd.rowsShown : 0; }
int orph_lcd_columns(void) { return CurrentLcdType(ProcessPanel().lcdDraw) ? ProcessPanel().lcd.columnsShown : 0; }

int orph_lcd_row_codes(int row, unsigned char* out, int capacity) {
    const LcdController& lcd = ProcessPanel().lcd;
    LcdLockGuard guard(ProcessPanel().lcd.lock);
    int addresses[kLcdMaxColumns];
    const int n = RowAddresses(row, addresses);
    if (n < 0) return -1;
    for (int j = 0; j < n && j < capacity; ++j) out[j] = lcd.ddram[addresses[j]];
    return n;
}

int orph_lcd_row_text(int row, char* out, int capacity) {
    unsigned char codes[kLcdMaxColumns];
    const int n = orph_lcd_row_codes(row, codes, kLcdMaxColumns);
    if (n < 0 || !out || capacity < 1) return -1;
    const char set = LcdSelectedCharSet(ProcessPanel().lcd);
    int length = 0;
    for (int j = 0; j < n; ++j) {
        char utf8[4];
        const int bytes = LcdCodeToUtf8(set, codes[j], utf8);
        if (length + bytes >= capacity) break;
        std::memcpy(out + length, utf8, static_cast<size_t>(bytes));
        length += bytes;
    }
    out[length] = '\0';
    return length;
}

int orph_lcd_cursor(int* row, int* column, int* mode) {
    LcdController& c = ProcessPanel().lcd;
    LcdLockGuard guard(c.lock);
    if (mode) *mode = (c.cursorOn ? 1 : 0) | (c.blinkOn ? 2 : 0);
    const int cursor = LcdCursorIndex(c);
    for (int r = 0; r < kLcdMaxRows; ++r) {
        int addresses[kLcdMaxColumns];
        const int n = RowAddresses(r, addresses);
        for (int j = 0; j < n; ++j)
            if (addresses[j] == cursor) {
                if (row) *row = r;
                if (column) *column = j;
                return 1;
            }
    }
    return 0;
}

int orph_lcd_display_on(void) { return ProcessPanel().lcd.displayOn ? 1 : 0; }
int orph_lcd_backlight(void) { return g_backlight; }
int orph_lcd_contrast(void) {
    const stLcdType* type = CurrentLcdType(ProcessPanel().lcdDraw);
    return type ? static_cast<int>(type->colours.contrast & 0xFF) : 0;
}
char orph_lcd_char_set(void) { return LcdSelectedCharSet(ProcessPanel().lcd); }

int orph_led_state(int id) { return ValidId(id) ? (Bit(Protocol().ledState, id) ? 1 : 0) : -1; }

long orph_led_colour(int id) {
    ListLockGuard guard(ProcessPanel().design.listLock);
    stObjList* leds = g_open ? ProcessPanel().design.leds : nullptr;
    for (stListNode* node = leds ? leds->first : nullptr; node; node = node->next) {
        const auto* led = static_cast<const stPanelObject*>(node->item);
        if (led && led->kind == kKindLed && led->id() == id) return static_cast<long>(led->colour & 0x00FFFFFF);
    }
    return -1;
}

int orph_key_state(int id) { return ValidId(id) ? (Bit(Protocol().keyState, id) ? 1 : 0) : -1; }

int orph_press_key(int id) {
    if (!g_open || !ValidId(id)) return 0;
    SetKey(id, true);
    ClickCheck(id);
    SendKeyReport(Protocol(), 0);
    return 1;
}

int orph_release_key(int id) {
    if (!g_open || !ValidId(id)) return 0;
    SetKey(id, false);
    SendKeyReport(Protocol(), 0);
    return 1;
}

int orph_latch_key(int id) {
    if (!g_open || !ValidId(id)) return 0;
    const bool down = !Bit(Protocol().keyState, id);
    SetKey(id, down);
    if (down) ClickCheck(id);
    SetKeyLooksPressed(id, down);
    SendKeyReport(Protocol(), 0);
    return 1;
}

void orph_release_all_keys(void) {
    if (!g_open) return;
    std::memset(Protocol().keyState, 0, kBitmapBytes);
    ClearKeyLooks();
    SendKeyReport(Protocol(), 0);
}

int orph_key_by_name(const char* name) {
    if (!g_open || !name) return -1;
    ListLockGuard guard(ProcessPanel().design.listLock);
    stObjList* keys = ProcessPanel().design.keys;
    for (stListNode* node = keys ? keys->first : nullptr; node; node = node->next) {
        const auto* key = static_cast<const stPanelObject*>(node->item);
        if (key && key->name && std::strcmp(key->name, name) == 0) return key->id();
    }
    return -1;
}

int orph_beep_count(void) { return g_beeps; }
int orph_last_beep(unsigned int* frequencyHz, unsigned int* durationMs) {
    if (frequencyHz) *frequencyHz = g_lastBeepHz;
    if (durationMs) *durationMs = g_lastBeepMs;
    return g_beeps > 0;
}

int orph_save_lcd_png(const char* path) { return g_open && path ? SaveLcdSnapshot(path) : 0; }
int orph_save_panel_png(const char* path) { return g_open && path ? SavePanelSnapshot(path) : 0; }

}  // extern "C"
