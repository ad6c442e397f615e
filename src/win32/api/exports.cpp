// The six functions a host calls. The .def file exports them under the decorated names of the
// host's C++ declarations (include/orppanel.h).
#include <windows.h>

#include <cstdint>

#include "api/library_state.h"
#include "common/options.h"
#include "api/dll_panel.h"
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
    if (!AcceptOptions(DllPanel().options, opts->revision, opts->flags, &previous)) return 0;
    stLibraryState& state = LibraryState();
    if (state.uiThread && !InterlockedExchange(&state.uiStarted, 1)) ResumeThread(state.uiThread);
    return previous;
}

void SetRxTarget(void (*callback)(), unsigned char* byteBuffer) { HostLinkSetRxTarget(DllPanel().protocol, callback, byteBuffer); }

void ReceiveFromApp(unsigned char* data, unsigned int length) {
    if (data) HostLinkReceiveFromApp(DllPanel().protocol, data, length);
}

void CheckRx() { HostLinkCheckRx(DllPanel().protocol); }

void Close() {
    stLibraryState& state = LibraryState();
    // Also after the panel was closed from its own window: then the wait below lets its thread
    // finish before the host unloads the DLL.
    bool first = MarkClosing();
    if (first && state.uiStarted) {
        // Should the wait below give up, the ending thread still holds the DLL until it is out.
        HMODULE pin = nullptr;
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&Close), &pin))
            if (InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&state.closePin), pin)) FreeLibrary(pin);
    }
    WaitForUiReady();
    RequestMainWindowShutdown();
    // Wait for the thread's end, so that the host's FreeLibrary right after Close really unloads
    // the DLL and a new LoadLibrary starts afresh.
    WaitForUiThreadEnd();
}

}  // extern "C"
