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

namespace {
// The hand-over runs the dispatcher at once, as the panel window does.
class FuzzPlatform : public PanelPlatform {
public:
    bool HandOver() override {
        DispatchAllMessages(PanelDispatch(ProcessPanel()));
        return true;
    }
} g_platform;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = CreatePanelLists(ProcessPanel()) != 0;
    if (!ready || size < 3) return 0;
    ResetHostLink(ProcessPanel().protocol);
    InstallPlatform(ProcessPanel(), &g_platform);
    ResetProtocolState(ProcessPanel().protocol);
    ResetDispatcherState(ProcessPanel().protocol);
    ProcessPanel().design.model.linkFlag = data[0] & 1;
    ProcessPanel().design.model.options = data[1];
    SetActiveProtocolMode(ProcessPanel().protocol, data[2]);
    SetPendingProtocolMode(ProcessPanel().protocol, static_cast<uint8_t>(data[2] >> 3));
    HostLinkReceiveFromApp(ProcessPanel().protocol, data + 3, static_cast<unsigned int>(size - 3));
    // Feed the rest frame by frame, as a host that passes one frame per call would.
    for (size_t i = 3; i < size; ++i)
        if (data[i] == kCr) HostLinkReceiveFromApp(ProcessPanel().protocol, data + i + 1, static_cast<unsigned int>(size - i - 1));
    DispatcherTimer(ProcessPanel().protocol, TIMER_KEY_REPORT);
    DispatcherTimer(ProcessPanel().protocol, TIMER_RESET_ANNOUNCEMENT);
    ProcessPanel().protocol.toHost.Clear();
    return 0;
}
