// Attach and detach of orppanel.dll, and how the user-interface thread ends.
//
// Attach creates the user-interface thread suspended (SetOptions resumes it) and the object
// lists. The thread must never run code of this DLL after the DLL is unmapped:
//  - Close ends it and waits for its end; in case that wait gives up, Close first hands the
//    thread a reference to the DLL, which the thread drops with FreeLibraryAndExitThread.
//  - A host that calls FreeLibrary without Close reaches the detach below with the loader lock
//    held, where no thread can be waited for to exit. Detach has the panel shut down, waits until
//    the thread has released everything and parked itself outside any lock, and then
//    terminates it. So the panel ends with the library, and loading it again gives a new panel.
//  - At process exit the other threads are already gone and the process memory goes with it:
//    detach then does nothing at all (a lock a vanished thread held could never be taken).
#include <windows.h>

#include "api/library_state.h"
#include "design/object_model.h"
#include "api/dll_panel.h"
#include "ui/ui_thread.h"
#include "ui/shutdown.h"
#include "ui/win32_platform.h"

namespace {
stLibraryState g_state{};

constexpr DWORD kUiWaitMs = 10000;

void OnProcessAttach(HINSTANCE module) {
    g_state.hostThreadId = GetCurrentThreadId();
    g_state.uiReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_state.uiParked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_state.uiThread = CreateThread(nullptr, 0, UiThreadEntry, module, CREATE_SUSPENDED, &g_state.uiThreadId);
    CreatePanelLists(DllPanel());
    InstallPlatform(DllPanel(), &DllPlatform());
}

// FreeLibrary while the user-interface thread may still run: end the panel first.
void EndRunningPanelAtUnload() {
    if (!g_state.uiStarted) return;  // never resumed: it has not run and never will
    if (InterlockedCompareExchange(&g_state.uiPhase, UI_UNLOADING, UI_RUNNING) != UI_RUNNING)
        return;  // it already ended on its own
    WaitHandlingSentMessages(g_state.uiReady, kUiWaitMs);
    RequestMainWindowShutdown();
    WaitHandlingSentMessages(g_state.uiParked, kUiWaitMs);
    TerminateThread(g_state.uiThread, 0);
    WaitForSingleObject(g_state.uiThread, 2000);
}

void OnProcessDetach(bool processEnding) {
    if (processEnding) return;
    MarkClosing();
    EndRunningPanelAtUnload();
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

bool WaitHandlingSentMessages(HANDLE object, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
        DWORD result = MsgWaitForMultipleObjectsEx(1, &object, timeoutMs - elapsed, QS_SENDMESSAGE, 0);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        // Handles the messages sent to this thread; nothing is taken off its posted queue.
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void WaitForUiReady() {
    if (g_state.uiStarted && g_state.uiReady && GetCurrentThreadId() != g_state.uiThreadId)
        WaitHandlingSentMessages(g_state.uiReady, kUiWaitMs);
}

void WaitForUiThreadEnd() {
    if (g_state.uiStarted && g_state.uiThread && GetCurrentThreadId() != g_state.uiThreadId)
        WaitHandlingSentMessages(g_state.uiThread, kUiWaitMs);
}

void EndUiThread() {
    LONG phase = InterlockedCompareExchange(&g_state.uiPhase, UI_ENDED, UI_RUNNING);
    // Close's reference keeps the DLL mapped until FreeLibraryAndExitThread is out of it.
    if (HMODULE pin = static_cast<HMODULE>(InterlockedExchangePointer(
            reinterpret_cast<PVOID volatile*>(&g_state.closePin), nullptr)))
        FreeLibraryAndExitThread(pin, 0);
    if (phase == UI_UNLOADING) {
        // Detach is waiting with the loader lock held and will terminate this thread.
        SetEvent(g_state.uiParked);
        for (;;) Sleep(INFINITE);
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        OnProcessAttach(module);
        break;
    case DLL_PROCESS_DETACH:
        OnProcessDetach(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}
