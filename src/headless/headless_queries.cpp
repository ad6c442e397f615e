// What a test framework asks of a headless panel beyond the host side: the identifiers the
// design's keys and LEDs carry (so that a press of a key the design lacks can be refused), the
// LED bitmap in one call (so that changes can be logged after every step), when the next timer
// falls due (so that a wait on the panel's clock jumps from one timer to the next) and the
// Rx/Tx monitor line of a frame (so that a log of monitor lines can be read back into frames
// and each reading checked against the line it came from).
#include <cstring>
#include <string>

#include "design/object_model.h"
#include "headless/headless_state.h"
#include "monitor/monitor_line.h"
#include "orppanel_headless.h"
#include "protocol/frame.h"

namespace {
// Every identifier of a list's objects, a multicolour LED's second one right after its first;
// returns how many there are, writing at most `capacity`.
int ListIds(stDesign& design, stObjList* list, int* out, int capacity) {
    ListLockGuard guard(design.listLock);
    int count = 0;
    auto put = [&](int id) {
        if (out && count < capacity) out[count] = id;
        ++count;
    };
    for (stListNode* node = list ? list->first : nullptr; node; node = node->next) {
        const auto* object = static_cast<const stPanelObject*>(node->item);
        if (!object) continue;
        put(object->id());
        if (object->multicolour && object->second) put(object->second->id());
    }
    return count;
}
}  // namespace

extern "C" {

int orph_key_ids(orph_panel* h, int* out, int capacity) {
    return h ? ListIds(h->panel.design, h->panel.design.keys, out, capacity) : 0;
}

int orph_led_ids(orph_panel* h, int* out, int capacity) {
    return h ? ListIds(h->panel.design, h->panel.design.leds, out, capacity) : 0;
}

int orph_led_bitmap(orph_panel* h, unsigned char* out, int capacity) {
    if (!h || !out || capacity < kBitmapBytes) return 0;
    std::memcpy(out, h->panel.protocol.ledState, kBitmapBytes);
    return kBitmapBytes;
}

long long orph_next_timer_ms(orph_panel* h) {
    if (!h || h->timers.empty()) return -1;
    unsigned long long due = ~0ull;
    for (const auto& entry : h->timers)
        if (entry.second.due < due) due = entry.second.due;
    return due <= h->now ? 0 : static_cast<long long>(due - h->now);
}

int orph_monitor_line(orph_panel* h, int direction, const unsigned char* bytes, unsigned int count, int mode,
                      char* out, int capacity) {
    if (!h || !bytes || count == 0 || (direction != MONITOR_HOST_TO_PANEL && direction != MONITOR_PANEL_TO_HOST))
        return 0;
    const int active = mode < 0 ? ActiveProtocolMode(h->panel.protocol) : mode;
    const int pending = mode < 0 ? PendingProtocolMode(h->panel.protocol) : mode;
    const std::string line = FormatMonitorLine(direction, bytes, count, active, pending);
    const int length = static_cast<int>(line.size());
    if (!out || capacity <= length) return -(length + 1);
    std::memcpy(out, line.c_str(), line.size() + 1);
    return length;
}

}  // extern "C"
