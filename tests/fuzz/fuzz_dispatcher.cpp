// Arbitrary bytes through the host path into the dispatcher with the real LCD controller, under
// a protocol mode and capability set taken from the input: no command may read or write
// outside its frame, the fill buffer or the pending key buffer.
#include <cstddef>
#include <cstdint>

#include "design/object_model.h"
#include "lcd/controller.h"
#include "protocol/dispatcher.h"
#include "protocol/frame.h"
#include "protocol/host_link.h"
#include "panel/panel.h"
#include "fuzz_panel.h"

namespace {
// The hand-over runs the dispatcher at once, as the panel window does.
class FuzzPlatform : public PanelPlatform {
public:
    bool HandOver() override {
        DispatchAllMessages(PanelDispatch(FuzzPanel()));
        return true;
    }
} g_platform;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = CreatePanelLists(FuzzPanel()) != 0;
    if (!ready || size < 3) return 0;
    ResetHostLink(FuzzPanel().protocol);
    InstallPlatform(FuzzPanel(), &g_platform);
    ResetProtocolState(FuzzPanel().protocol);
    ResetDispatcherState(FuzzPanel().protocol);
    FuzzPanel().design.model.linkFlag = data[0] & 1;
    FuzzPanel().design.model.options = data[1];
    SetActiveProtocolMode(FuzzPanel().protocol, data[2]);
    SetPendingProtocolMode(FuzzPanel().protocol, static_cast<uint8_t>(data[2] >> 3));
    HostLinkReceiveFromApp(FuzzPanel().protocol, data + 3, static_cast<unsigned int>(size - 3));
    // Feed the rest frame by frame, as a host that passes one frame per call would.
    for (size_t i = 3; i < size; ++i)
        if (data[i] == kCr) HostLinkReceiveFromApp(FuzzPanel().protocol, data + i + 1, static_cast<unsigned int>(size - i - 1));
    DispatcherTimer(FuzzPanel().protocol, TIMER_KEY_REPORT);
    DispatcherTimer(FuzzPanel().protocol, TIMER_RESET_ANNOUNCEMENT);
    FuzzPanel().protocol.toHost.Clear();
    return 0;
}
