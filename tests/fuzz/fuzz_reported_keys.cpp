// Arbitrary key reports from a target applied to the panel's key state: the result must be the
// plain group decoding of the same bytes, each message clicks at most once, and every look drawn
// belongs to a key of the design.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/alloc.h"
#include "design/object_model.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/key_input.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

namespace {
int g_clicks = 0;

void CountClick(unsigned, unsigned) { ++g_clicks; }

// Keys 0..255 in steps of 5, each 10 pixels wide at x = 10 * id.
void CheckLook(const stPixelRect& rect, int) {
    const int id = (rect.left - kKeyLookInset) / 10;
    if (id % 5 != 0 || rect.right - rect.left != 10 - 2 * kKeyLookInset) __builtin_trap();
}

class FuzzPlatform : public PanelPlatform {
public:
    void Beep(unsigned hz, unsigned ms) override { CountClick(hz, ms); }
    void DrawKeyLook(const stPixelRect& rect, int pressed) override { CheckLook(rect, pressed); }
} g_platform;

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    CreatePanelLists(FuzzPanel());
    for (int32_t id = 0; id < 256; id += 5) {
        auto* key = InitPanelObject(static_cast<stPanelObject*>(OrpAlloc(FuzzPanel().heap, sizeof(stPanelObject))));
        key->kind = kKindKey;
        key->id() = id;
        key->pixelRect() = stPixelRect{10 * id, 0, 10 * id + 10, 10};
        AppendItem(FuzzPanel().design.keys, key);
    }
    InstallPlatform(FuzzPanel(), &g_platform);
    // Click mode 1, so every newly pressed key would click; the panel does not answer.
    FuzzPanel().design.model.options = MODEL_BUZZER;
    FuzzPanel().design.model.linkFlag = 0;
    const uint8_t clickEveryKey[] = {'E', 1, '\r'};
    DispatchPanelMessage(PanelDispatch(FuzzPanel()), clickEveryKey, 3);
    if (FuzzPanel().protocol.clickMode != 1) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetUpOnce();
    uint8_t expected[kBitmapBytes];
    std::memcpy(expected, FuzzPanel().protocol.keyState, kBitmapBytes);
    DecodeBitmapGroups(data, static_cast<int>(size), StoreBitmapByte, expected);
    g_clicks = 0;
    ApplyReportedKeyState(FuzzPanel().protocol, data, static_cast<int>(size));
    if (std::memcmp(expected, FuzzPanel().protocol.keyState, kBitmapBytes) != 0) __builtin_trap();
    if (g_clicks > 1) __builtin_trap();
    return 0;
}
