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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = CreateDesignLists() != 0;
    if (!ready || size < 3) return 0;
    ResetHostLink();
    const stHostLinkHooks link{nullptr, nullptr, DispatchAllMessages};
    SetHostLinkHooks(&link);
    ResetProtocolState();
    ResetDispatcherState();
    PanelModel().linkFlag = data[0] & 1;
    PanelModel().options = data[1];
    SetActiveProtocolMode(data[2]);
    SetPendingProtocolMode(static_cast<uint8_t>(data[2] >> 3));
    HostLinkReceiveFromApp(data + 3, static_cast<unsigned int>(size - 3));
    // Feed the rest frame by frame, as a host that passes one frame per call would.
    for (size_t i = 3; i < size; ++i)
        if (data[i] == kCr) HostLinkReceiveFromApp(data + i + 1, static_cast<unsigned int>(size - i - 1));
    DispatcherTimer(TIMER_KEY_REPORT);
    DispatcherTimer(TIMER_RESET_ANNOUNCEMENT);
    FreeTextList(DesignLists().toHost);
    DesignLists().toHost = NewObjList();
    return 0;
}
