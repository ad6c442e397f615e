// Key reports of the target shown on the panel. The key state bitmap is written byte by byte
// (each byte whole, no lock, as the operating-mode input does); every key whose bit changed has
// its rectangle invalidated so that it repaints in its new state.
#include "link/target_keys.h"

#include <windows.h>

#include "design/object_model.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "ui/app_state.h"

namespace {
void InvalidateKey(int id) {
    HWND main = AppState().hwndMain;
    if (!main) return;
    ListLockGuard guard(ListLock());
    stObjList* keys = DesignLists().keys;
    for (stListNode* node = keys ? keys->first : nullptr; node; node = node->next) {
        auto* key = static_cast<stPanelObject*>(node->item);
        if (key->placement.id != id) continue;
        const stPixelRect& p = key->pixelRect();
        RECT r = {p.left, p.top, p.right, p.bottom};
        InvalidateRect(main, &r, FALSE);
    }
}

void StoreReportedByte(void*, int target, uint8_t value) {
    uint8_t* state = KeyStateBitmap();
    if (target == GROUP_ALL_BYTES) {
        for (int i = 0; i < kBitmapBytes; ++i) StoreReportedByte(nullptr, i, value);
        return;
    }
    const bool lowBits = target == GROUP_LOW_BITS;
    const int index = lowBits ? 0 : target;
    if (index < 0 || index >= kBitmapBytes) return;
    const uint8_t mask = lowBits ? 0x7F : 0xFF;
    const uint8_t old = state[index];
    const uint8_t next = static_cast<uint8_t>((old & ~mask) | (value & mask));
    for (int bit = 7; bit >= 0; --bit)
        if (((old ^ next) >> bit) & 1) InvalidateKey(index * 8 + bit);
    state[index] = next;
}
}  // namespace

void ShowTargetKeyReport(const uint8_t* params, int count) {
    DecodeBitmapGroups(params, count, StoreReportedByte, nullptr);
}
