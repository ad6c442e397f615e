// The six functions a host calls. The .def file exports them under the decorated names of the
// host's C++ declarations (include/orppanel.h).
#include <windows.h>

#include <cstdint>

#include "api/library_state.h"
#include "common/options.h"
#include "ui/shutdown.h"
#include "protocol/host_link.h"

struct stOrpOpts {
    uint32_t revision;
    uint32_t flags;
};

extern "C" {

void BindLcdDll() {}

unsigned long SetOptions(stOrpOpts* opts) {
    if (!opts) return 0;
    uint32_t previous = 0;
    if (!AcceptOptions(opts->revision, opts->flags, &previous)) return 0;
    stLibraryState& state = LibraryState();
    if (state.uiThread && !InterlockedExchange(&state.uiStarted, 1)) ResumeThread(state.uiThread);
    return previous;
}

void SetRxTarget(void (*callback)(), unsigned char* byteBuffer) { HostLinkSetRxTarget(callback, byteBuffer); }

void ReceiveFromApp(unsigned char* data, unsigned int length) {
    if (data) HostLinkReceiveFromApp(data, length);
}

void CheckRx() { HostLinkCheckRx(); }

void Close() {
    MarkClosing();
    WaitForUiReady();
    RequestMainWindowShutdown();
    // Let the thread drop its own reference to the DLL before returning, so that the host's
    // FreeLibrary right after Close really unloads it and a new LoadLibrary starts afresh.
    WaitForUiThreadEnd();
}

}  // extern "C"
