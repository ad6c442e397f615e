// Process-wide state of the library boundary: the host thread, the user-interface thread and
// the closing flag.
#pragma once

#include <windows.h>

// How far the user-interface thread's end has come; changed only by compare-and-swap, so that
// a detach and the thread's own end agree on who waits for whom.
enum : LONG {
    UI_RUNNING = 0,    // started (or not yet started) and not ending
    UI_UNLOADING = 1,  // detach runs: the thread must park instead of returning into this DLL
    UI_ENDED = 2,      // the thread left its loop on its own and returns (library stays loaded)
};

struct stLibraryState {
    DWORD hostThreadId;       // the thread that attached the library
    HANDLE uiThread;          // created suspended at attach
    DWORD uiThreadId;
    volatile LONG uiStarted;  // the thread has run (SetOptions resumed it)
    volatile LONG closing;    // set once by Close, detach or the window's own shutdown
    HANDLE uiReady;           // set by the thread once its window exists or creation failed
    HANDLE uiParked;          // set by the thread when it has released everything at unload
    volatile LONG uiPhase;    // UI_RUNNING, UI_UNLOADING or UI_ENDED
    HMODULE volatile closePin;  // a reference to the DLL that Close hands to the ending thread
};

stLibraryState& LibraryState();

// Sets the closing flag; returns true for the caller that set it first.
bool MarkClosing();
// Waits until a started user-interface thread has its window (or gave up creating it), so that
// the destroy request cannot miss a window that is still being created.
void WaitForUiReady();
// Waits (from a host thread) until a started user-interface thread has ended.
void WaitForUiThreadEnd();
// Waits for `object` while handling the messages other threads send to this thread: the
// user-interface thread sends to the host's windows (activation, placement) while it starts
// and ends, so a host thread that waited without them would stall both threads.
bool WaitHandlingSentMessages(HANDLE object, DWORD timeoutMs);
// The last step of the user-interface thread; never returns into this DLL's code when the
// library is being unloaded.
void EndUiThread();
