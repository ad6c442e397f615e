// What a viewer of a headless panel needs to show it as the window does and to take a mouse's
// actions on it: the panel's picture in memory, its keys and LEDs with their places and texts,
// the window's mouse rules at a pixel (LEDs hide keys, Ctrl latches, the status line shows
// tooltips or rotates the operating tips), and the status line's text.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/cp1252.h"
#include "design/context_help.h"
#include "design/object_model.h"
#include "headless/headless_render.h"
#include "headless/headless_state.h"
#include "monitor/trace.h"
#include "orppanel_headless.h"

namespace {
// Copies UTF-8 text into `out`, NUL-terminated, cut before a character that does not fit.
// Returns the bytes copied.
int CopyUtf8(const std::string& text, char* out, int capacity) {
    if (!out || capacity < 1) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

std::string Utf8Of(const char* cp1252) { return cp1252 ? Cp1252ToUtf8(cp1252) : std::string(); }

// The index-th object of the LED list followed by the key list; the caller holds the list lock.
const stPanelObject* ObjectAtIndex(stDesign& design, int index) {
    for (stObjList* list : {design.leds, design.keys})
        for (stListNode* node = list ? list->first : nullptr; node; node = node->next, --index)
            if (index == 0) return static_cast<const stPanelObject*>(node->item);
    return nullptr;
}

// What lies under a pixel, LEDs first (an LED over a key hides the key from the mouse),
// copied out under the list lock.
struct stHit {
    int32_t kind = 0;  // 0 nothing, kKindKey or kKindLed
    int32_t id = -1;
    std::string tooltip;  // Windows-1252
};

stHit ObjectUnder(stDesign& design, int x, int y, bool keysOnly) {
    stHit hit;
    ListLockGuard guard(design.listLock);
    const stPanelObject* object = keysOnly ? nullptr : FindLedAt(design.leds, x, y);
    if (!object) object = FindKeyAt(design.keys, x, y);
    if (!object) return hit;
    hit.kind = object->kind;
    hit.id = object->id();
    if (object->tooltip) hit.tooltip = object->tooltip;
    return hit;
}
}  // namespace

extern "C" {

int orph_render_panel(orph_panel* h, unsigned int* pixels, int capacity, int* width, int* height) {
    int w = 0, ht = 0;
    std::vector<uint32_t> picture;
    const int drawn = h ? RenderPanel(h, &w, &ht, &picture) : 0;
    if (!drawn) w = ht = 0;
    if (width) *width = w;
    if (height) *height = ht;
    if (!drawn || !pixels || capacity < 0 || static_cast<size_t>(capacity) < picture.size()) return 0;
    std::copy(picture.begin(), picture.end(), pixels);
    return 1;
}

int orph_object_count(orph_panel* h) {
    if (!h) return 0;
    stDesign& design = h->panel.design;
    ListLockGuard guard(design.listLock);
    return static_cast<int>((design.leds ? design.leds->count : 0) + (design.keys ? design.keys->count : 0));
}

int orph_object_info(orph_panel* h, int index, orph_object* object, char* name, int nameCapacity, char* tooltip,
                     int tooltipCapacity) {
    if (!h || index < 0) return 0;
    stDesign& design = h->panel.design;
    std::string nameText, tooltipText;
    {
        ListLockGuard guard(design.listLock);
        const stPanelObject* o = ObjectAtIndex(design, index);
        if (!o) return 0;
        if (object) {
            object->kind = o->kind == kKindLed ? ORPH_OBJECT_LED : ORPH_OBJECT_KEY;
            object->id = o->id();
            const stPixelRect& r = o->pixelRect();
            object->left = r.left;
            object->top = r.top;
            object->right = r.right;
            object->bottom = r.bottom;
        }
        nameText = Utf8Of(o->name);
        tooltipText = Utf8Of(o->tooltip);
    }
    CopyUtf8(nameText, name, nameCapacity);
    CopyUtf8(tooltipText, tooltip, tooltipCapacity);
    return 1;
}

int orph_mouse_down(orph_panel* h, int x, int y, int ctrl) {
    if (!h) return -1;
    const stHit hit = ObjectUnder(h->panel.design, x, y, false);
    if (hit.kind != kKindKey) return -1;
    return (ctrl ? orph_latch_key(h, hit.id) : orph_press_key(h, hit.id)) ? hit.id : -1;
}

int orph_mouse_up(orph_panel* h, int x, int y, int ctrl) {
    if (!h || ctrl) return -1;  // with Ctrl held latched keys stay down
    const stHit hit = ObjectUnder(h->panel.design, x, y, true);
    if (hit.kind != kKindKey) return -1;
    return orph_release_key(h, hit.id) ? hit.id : -1;
}

void orph_mouse_move(orph_panel* h, int x, int y) {
    if (!h) return;
    const stHit hit = ObjectUnder(h->panel.design, x, y, false);
    if (hit.kind) {
        if (hit.tooltip.size() > 1) StatusLine(h->panel.monitor, "%s", hit.tooltip.c_str());
        if (h->tipsTimerRunning) {
            h->platform.StopTimer(kTipTimerId);
            h->tipsTimerRunning = false;
        }
        return;
    }
    if (h->tipsTimerRunning) return;
    NextTip(h->panel.design, h->panel.monitor);
    // An interval of 0 keeps the tip shown instead of rotating.
    const int32_t interval = h->panel.design.model.tipInterval;
    if (interval > 0)
        h->platform.StartTimer(kTipTimerId, static_cast<unsigned>(interval));
    else
        h->platform.StopTimer(kTipTimerId);
    h->tipsTimerRunning = true;
}

int orph_status_text(orph_panel* h, char* out, int capacity) {
    if (!h || !out || capacity < 1) return -1;
    return CopyUtf8(Cp1252ToUtf8(h->status), out, capacity);
}

}  // extern "C"
