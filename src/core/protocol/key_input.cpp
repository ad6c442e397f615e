// Key actions, the key click and the key states a target reports. See key_input.h.
#include "protocol/key_input.h"

#include "design/object_model.h"
#include "design/design_state.h"
#include "protocol/frame.h"
#include "protocol/panel_reports.h"
#include "protocol/protocol.h"

namespace {
bool KeyRectOf(const stProtocol& p, int32_t id, stPixelRect* rect) {
    if (!p.design) return false;
    stDesign& design = *p.design;
    ListLockGuard guard(design.listLock);
    stPanelObject* key = FindKeyById(design.keys, id);
    if (!key) return false;
    *rect = key->pixelRect();
    return true;
}

// The look of the key with that id, if the design has one. The rectangle is copied out under
// the list lock so that drawing (possibly on the serial reader thread) does not hold it.
void DrawLookOfId(const stProtocol& p, int32_t id, int pressed) {
    stPixelRect rect{};
    if (KeyRectOf(p, id, &rect)) DrawKeyLook(p, rect, pressed);
}

struct stReportedKeys {
    stProtocol& protocol;
    bool clicked;  // one click per message at most
};

// Stores one value of the target's key report into the key state bitmap, drawing the looks
// of the keys whose bits change. Bits 0..6 of byte 0 only for a single byte below 0x80.
void StoreReportedKeyByte(void* context, int target, uint8_t value) {
    auto* state = static_cast<stReportedKeys*>(context);
    int index = target;
    int topBit = 7;
    if (target == GROUP_LOW_BITS) {
        index = 0;
        topBit = 6;
    } else if (target < 0 || target >= kBitmapBytes) {
        return;
    }
    uint8_t* keys = state->protocol.keyState;
    const uint8_t current = keys[index];
    for (int bit = topBit; bit >= 0; --bit) {
        const uint8_t mask = static_cast<uint8_t>(1u << bit);
        const int32_t id = index * 8 + bit;
        if ((value & mask) && !(current & mask)) {
            if (!state->clicked) {
                KeyClickCheck(state->protocol, index, mask);
                state->clicked = true;
            }
            DrawLookOfId(state->protocol, id, 1);
        } else if (!(value & mask) && (current & mask)) {
            DrawLookOfId(state->protocol, id, 0);
        }
    }
    keys[index] = topBit == 7 ? value : static_cast<uint8_t>((current & 0x80) | (value & 0x7F));
}
}  // namespace

bool KeyClickWanted(uint8_t clickMode, const uint8_t* clickMask, int byteIndex, uint8_t bitMask) {
    if (clickMode == 0) return false;
    if (clickMode == 1) return true;
    if (byteIndex < 0 || byteIndex >= kBitmapBytes) return false;
    return (clickMask[byteIndex] & bitMask) != 0;
}

void KeyClickCheck(const stProtocol& p, int byteIndex, uint8_t bitMask) {
    if (!KeyClickWanted(p.clickMode, p.clickMask, byteIndex, bitMask)) return;
    p.platform->Beep(kKeyClickHz, kKeyClickMs);
}

void DrawKeyLook(const stProtocol& p, const stPixelRect& keyRect, int pressed) {
    const stPixelRect shrunk{keyRect.left + kKeyLookInset, keyRect.top + kKeyLookInset,
                             keyRect.right - kKeyLookInset, keyRect.bottom - kKeyLookInset};
    p.platform->DrawKeyLook(shrunk, pressed);
}

void KeyAction(stProtocol& p, int keyId, int action, const stPixelRect* keyRect) {
    uint8_t* keys = p.keyState;
    const bool validId = keyId >= 0 && keyId <= 255;
    const int index = validId ? keyId >> 3 : 0;
    const uint8_t mask = validId ? static_cast<uint8_t>(1u << (keyId & 7)) : 0;
    switch (action) {
    case KEY_RELEASE:
        if (!validId) return;
        keys[index] = static_cast<uint8_t>(keys[index] & ~mask);
        break;
    case KEY_PRESS:
        if (!validId) return;
        keys[index] = static_cast<uint8_t>(keys[index] | mask);
        KeyClickCheck(p, index, mask);
        break;
    case KEY_RELEASE_ALL: {
        // Keys drawn pressed are those reported pressed and those latched locally; without
        // spontaneous reports a latched key is never marked reported, so both count.
        const uint8_t* reported = p.reportedKeys;
        uint8_t shown[kBitmapBytes];
        for (int i = 0; i < kBitmapBytes; ++i) {
            shown[i] = static_cast<uint8_t>(reported[i] | keys[i]);
            keys[i] = 0;
        }
        for (int id = 0; id < 256; ++id)
            if ((shown[id >> 3] >> (id & 7)) & 1) DrawLookOfId(p, id, 0);
        break;
    }
    case KEY_LATCH_TOGGLE: {
        if (!validId) return;
        keys[index] = static_cast<uint8_t>(keys[index] ^ mask);
        const int pressed = (keys[index] & mask) != 0;
        if (pressed) KeyClickCheck(p, index, mask);
        if (keyRect) DrawKeyLook(p, *keyRect, pressed);
        break;
    }
    default:
        return;
    }
    SendKeyReport(p, 0);
}

void ApplyReportedKeyState(stProtocol& p, const uint8_t* params, int count) {
    if (!params || count <= 0) return;
    stReportedKeys state{p, false};
    DecodeBitmapGroups(params, count, StoreReportedKeyByte, &state);
}
