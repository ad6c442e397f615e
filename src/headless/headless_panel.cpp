// The headless panel: the core's dispatcher, host link, LCD controller and design model behind
// the entry points of orppanel_headless.h, with a clock of the caller's in place of the
// window's timers and recorded tones in place of the speaker.
//
// It follows what the window does around the core: the first activation (LCD power-up, reset
// announcement, blink timer), the design load (LCD colours, character set, layout, object
// pixel rectangles), and the mouse's key actions (press, release, latch, release all, click).
#include "orppanel_headless.h"

#include <cstring>
#include <new>

#include "design/context_help.h"
#include "design/design_file.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "headless/headless_render.h"
#include "headless/headless_state.h"
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

void RecordBeep(orph_panel& h, unsigned hz, unsigned ms) {
    ++h.beeps;
    h.lastBeepHz = hz;
    h.lastBeepMs = ms;
}

void FireTimer(orph_panel& h, int id) {
    if (id == kBlinkTimerId)
        LcdBlinkTick(h.panel.lcdDraw, h.panel.lcd);
    else if (id == kTipTimerId)
        NextTip(h.panel.design, h.panel.monitor);
    else
        DispatcherTimer(h.panel.protocol, id);
}

bool ValidId(int id) { return id >= 0 && id <= 255; }
bool Bit(const uint8_t* bitmap, int id) { return (bitmap[id >> 3] >> (id & 7)) & 1; }

// The key click rule of the mouse.
void ClickCheck(orph_panel& h, int id) {
    const stProtocol& p = h.panel.protocol;
    if (KeyClickWanted(p.clickMode, p.clickMask, id >> 3, static_cast<uint8_t>(1u << (id & 7))))
        RecordBeep(h, kClickHz, kClickMs);
}

// As the window shows a design: the plate, the objects, the LCD unlit in its character set.
void LayOutDesign(stPanel& panel) {
    BuildPlate(panel.design.plate, panel.design.scale, panel.monitor, nullptr);
    LayOutObjects(panel);
    if (stLcdType* type = CurrentLcdType(panel.lcdDraw)) {
        ShowLcdUnlit(panel);
        LcdSelectCharSet(panel.lcd, type->font ? type->font[0] : 'N');
    }
    LayOutCurrentLcd(panel);
}

// The DDRAM index of each shown cell of a row, as the drawing pass walks it; -1 when the row
// is not shown or the controller has not been set up.
int RowAddresses(const LcdController& c, int row, int* out) {
    if (c.lineLength == 0) return -1;
    return LcdRowAddresses(c, row, out);
}

void SetKey(stProtocol& p, int id, bool down) {
    uint8_t& byte = p.keyState[id >> 3];
    const uint8_t bit = static_cast<uint8_t>(1u << (id & 7));
    byte = static_cast<uint8_t>(down ? (byte | bit) : (byte & ~bit));
}

const stPanelObject* FindObject(stDesign& design, stObjList* list, bool (*match)(const stPanelObject&, const void*),
                                const void* wanted) {
    ListLockGuard guard(design.listLock);
    for (stListNode* node = list ? list->first : nullptr; node; node = node->next) {
        const auto* object = static_cast<const stPanelObject*>(node->item);
        if (object && match(*object, wanted)) return object;
    }
    return nullptr;
}
}  // namespace

void HeadlessPlatform::Beep(unsigned hz, unsigned ms) { RecordBeep(owner_, hz, ms); }
void HeadlessPlatform::StartTimer(int id, unsigned intervalMs) {
    owner_.timers[id] = HeadlessTimer{intervalMs, owner_.now + intervalMs};
}
void HeadlessPlatform::StopTimer(int id) { owner_.timers.erase(id); }
bool HeadlessPlatform::SetLcdBacklight(uint8_t level) {
    owner_.backlight = level;
    LcdSetBacklight(owner_.panel.lcdDraw, level);
    return true;
}
bool HeadlessPlatform::HandOver() {
    DispatchAllMessages(PanelDispatch(owner_.panel));
    return true;
}
void HeadlessPlatform::StatusText(const char* text) { owner_.status = text ? text : ""; }

extern "C" {

orph_panel* orph_open(void) {
    auto* h = new (std::nothrow) orph_panel;
    if (!h) return nullptr;
    stPanel& panel = h->panel;
    if (!CreatePanelLists(panel)) {
        FreePanelLists(panel);
        delete h;
        return nullptr;
    }
    panel.design.model = stPanelModel{};
    AnswerHostItself(panel);  // there is no target
    ResetProtocolState(panel.protocol);
    ResetDispatcherState(panel.protocol);
    ResetHostLink(panel.protocol);
    ResetGeometry(panel);
    SetScreenResolution(panel.design.scale, kDefaultPixelsPer10kInch, kDefaultPixelsPer10kInch);
    InstallPlatform(panel, &h->platform);
    LcdClearState(panel.lcd);
    LcdReset(panel.lcd);
    PowerUpLcd(panel);
    h->platform.StartTimer(kBlinkTimerId, kBlinkIntervalMs);
    AnnounceReset(panel);
    return h;
}

void orph_close(orph_panel* h) {
    if (!h) return;
    // The panel's destructor releases what it owns; it runs after the platform member has
    // gone, so the panel stops reaching it first.
    InstallPlatform(h->panel, nullptr);
    delete h;
}

int orph_load_design(orph_panel* h, const char* path) {
    if (!h || !path || !LoadDesign(h->panel.design, DesignLcdOf(h->panel), path)) return 0;
    ResetLedSelectionCache(h->panel.design);
    LayOutDesign(h->panel);
    UpdateLeds(h->panel.protocol);
    return 1;
}

int orph_set_resolution(orph_panel* h, unsigned int pixelsPer10kInchX, unsigned int pixelsPer10kInchY) {
    if (!h || !SetScreenResolution(h->panel.design.scale, pixelsPer10kInchX, pixelsPer10kInchY)) return 0;
    LayOutDesign(h->panel);
    return 1;
}

int orph_load_lcd_library(orph_panel* h, const char* folder) {
    if (!h || !folder || !LoadLcdLibrary(h->panel.lcdLibrary, h->panel.lcdDraw, h->panel.monitor, folder)) return -1;
    int types = 0;
    for (int i = 0; i < LcdFileCount(h->panel.lcdLibrary); ++i)
        if (stObjList* list = LcdTypesOfFile(h->panel.lcdLibrary, i)) types += static_cast<int>(list->count);
    return types;
}

void orph_receive_from_app(orph_panel* h, const unsigned char* data, unsigned int length) {
    if (h) HostLinkReceiveFromApp(h->panel.protocol, data, length);
}
void orph_set_rx_target(orph_panel* h, void (*callback)(void), unsigned char* byteBuffer) {
    if (h) HostLinkSetRxTarget(h->panel.protocol, callback, byteBuffer);
}
void orph_check_rx(orph_panel* h) {
    if (h) HostLinkCheckRx(h->panel.protocol);
}

int orph_read_to_host(orph_panel* h, unsigned char* out, int capacity) {
    if (!h) return 0;
    MessageQueue& toHost = h->panel.protocol.toHost;
    const stQueuedMessage* message = toHost.Front();
    if (!message) return 0;
    const int length = static_cast<int>(message->length);
    if (!out || capacity < length) return -length;
    std::memcpy(out, message->bytes, static_cast<size_t>(length));
    toHost.Remove(message);
    return length;
}

void orph_advance_ms(orph_panel* h, unsigned int ms) {
    if (!h) return;
    const unsigned long long end = h->now + ms;
    for (;;) {
        int id = -1;
        unsigned long long due = end + 1;
        for (const auto& [timerId, timer] : h->timers)
            if (timer.due <= end && timer.due < due) {
                id = timerId;
                due = timer.due;
            }
        if (id < 0) break;
        h->now = due;
        HeadlessTimer& timer = h->timers[id];
        timer.due += timer.interval ? timer.interval : 1;  // periodic, as a window timer
        FireTimer(*h, id);
    }
    h->now = end;
}

unsigned long long orph_now_ms(orph_panel* h) { return h ? h->now : 0; }

int orph_lcd_rows(orph_panel* h) { return h && CurrentLcdType(h->panel.lcdDraw) ? h->panel.lcd.rowsShown : 0; }
int orph_lcd_columns(orph_panel* h) {
    return h && CurrentLcdType(h->panel.lcdDraw) ? h->panel.lcd.columnsShown : 0;
}

int orph_lcd_row_codes(orph_panel* h, int row, unsigned char* out, int capacity) {
    if (!h) return -1;
    const LcdController& lcd = h->panel.lcd;
    LcdLockGuard guard(h->panel.lcd.lock);
    int addresses[kLcdMaxColumns];
    const int n = RowAddresses(lcd, row, addresses);
    if (n < 0) return -1;
    for (int j = 0; j < n && j < capacity; ++j) out[j] = lcd.ddram[addresses[j]];
    return n;
}

int orph_lcd_row_text(orph_panel* h, int row, char* out, int capacity) {
    unsigned char codes[kLcdMaxColumns];
    const int n = orph_lcd_row_codes(h, row, codes, kLcdMaxColumns);
    if (n < 0 || !out || capacity < 1) return -1;
    const char set = LcdSelectedCharSet(h->panel.lcd);
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

int orph_lcd_cursor(orph_panel* h, int* row, int* column, int* mode) {
    if (!h) return 0;
    LcdController& c = h->panel.lcd;
    LcdLockGuard guard(c.lock);
    if (mode) *mode = (c.cursorOn ? 1 : 0) | (c.blinkOn ? 2 : 0);
    const int cursor = LcdCursorIndex(c);
    for (int r = 0; r < kLcdMaxRows; ++r) {
        int addresses[kLcdMaxColumns];
        const int n = RowAddresses(c, r, addresses);
        for (int j = 0; j < n; ++j)
            if (addresses[j] == cursor) {
                if (row) *row = r;
                if (column) *column = j;
                return 1;
            }
    }
    return 0;
}

int orph_lcd_display_on(orph_panel* h) { return h && h->panel.lcd.displayOn ? 1 : 0; }
int orph_lcd_backlight(orph_panel* h) { return h ? h->backlight : 0; }
int orph_lcd_contrast(orph_panel* h) {
    const stLcdType* type = h ? CurrentLcdType(h->panel.lcdDraw) : nullptr;
    return type ? static_cast<int>(type->colours.contrast & 0xFF) : 0;
}
char orph_lcd_char_set(orph_panel* h) { return h ? LcdSelectedCharSet(h->panel.lcd) : 'N'; }

int orph_led_state(orph_panel* h, int id) {
    return h && ValidId(id) ? (Bit(h->panel.protocol.ledState, id) ? 1 : 0) : -1;
}

long orph_led_colour(orph_panel* h, int id) {
    if (!h) return -1;
    stDesign& design = h->panel.design;
    const stPanelObject* led = FindObject(
        design, design.leds,
        [](const stPanelObject& o, const void* wanted) { return o.kind == kKindLed && o.id() == *static_cast<const int*>(wanted); },
        &id);
    return led ? static_cast<long>(led->colour & 0x00FFFFFF) : -1;
}

int orph_key_state(orph_panel* h, int id) {
    return h && ValidId(id) ? (Bit(h->panel.protocol.keyState, id) ? 1 : 0) : -1;
}

int orph_press_key(orph_panel* h, int id) {
    if (!h || !ValidId(id)) return 0;
    SetKey(h->panel.protocol, id, true);
    ClickCheck(*h, id);
    SendKeyReport(h->panel.protocol, 0);
    return 1;
}

int orph_release_key(orph_panel* h, int id) {
    if (!h || !ValidId(id)) return 0;
    SetKey(h->panel.protocol, id, false);
    SendKeyReport(h->panel.protocol, 0);
    return 1;
}

int orph_latch_key(orph_panel* h, int id) {
    if (!h || !ValidId(id)) return 0;
    const bool down = !Bit(h->panel.protocol.keyState, id);
    SetKey(h->panel.protocol, id, down);
    if (down) ClickCheck(*h, id);
    h->pressedLooks[static_cast<size_t>(id)] = down;
    SendKeyReport(h->panel.protocol, 0);
    return 1;
}

void orph_release_all_keys(orph_panel* h) {
    if (!h) return;
    std::memset(h->panel.protocol.keyState, 0, kBitmapBytes);
    h->pressedLooks.reset();
    SendKeyReport(h->panel.protocol, 0);
}

int orph_key_by_name(orph_panel* h, const char* name) {
    if (!h || !name) return -1;
    stDesign& design = h->panel.design;
    const stPanelObject* key = FindObject(
        design, design.keys,
        [](const stPanelObject& o, const void* wanted) { return o.name && std::strcmp(o.name, static_cast<const char*>(wanted)) == 0; },
        name);
    return key ? key->id() : -1;
}

int orph_beep_count(orph_panel* h) { return h ? h->beeps : 0; }
int orph_last_beep(orph_panel* h, unsigned int* frequencyHz, unsigned int* durationMs) {
    if (!h) return 0;
    if (frequencyHz) *frequencyHz = h->lastBeepHz;
    if (durationMs) *durationMs = h->lastBeepMs;
    return h->beeps > 0;
}

int orph_save_lcd_png(orph_panel* h, const char* path) { return h && path ? SaveLcdSnapshot(*h, path) : 0; }
int orph_save_panel_png(orph_panel* h, const char* path) { return h && path ? SavePanelSnapshot(*h, path) : 0; }

}  // extern "C"
