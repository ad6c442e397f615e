// Attach and detach of orppanel.dll.
//
// Attach creates the user-interface thread suspended (SetOptions resumes it) and the object
// lists. The thread holds its own reference to the DLL while it runs, so a host that unloads
// right after Close cannot unmap code that thread still executes; detach therefore never waits
// for the thread (waiting inside DllMain would deadlock on the loader lock).
#include <windows.h>

#include "api/library_state.h"
#include "design/object_model.h"
#include "protocol/host_link_hooks.h"
#include "ui/ui_thread.h"
#include "ui/shutdown.h"

namespace {
stLibraryState g_state{};

void OnProcessAttach(HINSTANCE module) {
    g_state.hostThreadId = GetCurrentThreadId();
    g_state.uiReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_state.uiThread = CreateThread(nullptr, 0, UiThreadEntry, module, CREATE_SUSPENDED, &g_state.uiThreadId);
    ListLock();  // the list lock exists from here on
    CreateDesignLists();
    InstallHostLinkHooks();
}

void OnProcessDetach() {
    if (MarkClosing()) RequestMainWindowShutdown();
    // A thread that was never resumed stays suspended for good: it has not run a single
    // instruction of ours and never will. (Terminating it here, while the system may still be
    // setting it up, crashed the process now and then under Wine.)
    if (g_state.uiThread) CloseHandle(g_state.uiThread);
    g_state.uiThread = nullptr;
    if (g_state.uiReady) CloseHandle(g_state.uiReady);
    g_state.uiReady = nullptr;
    ReleaseDesignData();
}
}  // namespace

stLibraryState& LibraryState() { return g_state; }

bool MarkClosing() { return InterlockedExchange(&g_state.closing, 1) == 0; }

void WaitForUiReady() {
    if (g_state.uiStarted && g_state.uiReady && GetCurrentThreadId() != g_state.uiThreadId)
        WaitForSingleObject(g_state.uiReady, 10000);
}

void WaitForUiThreadEnd() {
    if (g_state.uiStarted && g_state.uiThread && GetCurrentThreadId() != g_state.uiThreadId)
        WaitForSingleObject(g_state.uiThread, 10000);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        OnProcessAttach(module);
        break;
    case DLL_PROCESS_DETACH:
        OnProcessDetach();
        break;
    default:
        break;
    }
    return TRUE;
}
