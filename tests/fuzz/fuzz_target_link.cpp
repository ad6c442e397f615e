// Both receive paths of the target links on arbitrary bytes: the serial reader byte by byte
// (frame cutting and the oversized frame resync) and the datagram evaluation, in every mode.
#include <cstddef>
#include <cstdint>

#include "design/object_model.h"
#include "link/target_link.h"
#include "protocol/frame.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

namespace {
// The target's key reports are decoded as the panel would apply them.
class FuzzPlatform : public PanelPlatform {
public:
    void ShowTargetKeys(const uint8_t* params, int count) override {
        uint8_t bitmap[kBitmapBytes] = {};
        DecodeBitmapGroups(params, count, StoreBitmapByte, bitmap);
    }
} g_platform;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = CreatePanelLists(FuzzPanel()) == 1;
    if (!ready || size < 1) return 0;
    InstallPlatform(FuzzPanel(), &g_platform);
    ResetProtocolState(FuzzPanel().protocol);
    SetActiveProtocolMode(FuzzPanel().protocol, data[0] & 0x1F);
    stSerialReader reader;
    ResetSerialReader(&reader);
    for (size_t i = 1; i < size; ++i) SerialReaderByte(FuzzPanel().protocol, &reader, data[i]);
    // The same bytes cut into datagrams at every CR.
    size_t start = 1;
    for (size_t i = 1; i <= size; ++i) {
        if (i == size || data[i] == kCr) {
            const size_t end = i < size ? i + 1 : size;
            HandleTargetDatagram(FuzzPanel().protocol, FuzzPanel().monitor, data + start, static_cast<int>(end - start), true, (data[0] & 0x20) != 0);
            start = end;
        }
    }
    FuzzPanel().protocol.toHost.Clear();
    return 0;
}
