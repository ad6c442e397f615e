// Process-wide state of the library boundary: the host thread, the user-interface thread and
// the closing flag.
#pragma once

#include <windows.h>

struct stLibraryState {
    DWORD hostThreadId;       // the thread that attached the library
    HANDLE uiThread;          // created suspended at attach
    DWORD uiThreadId;
    volatile LONG uiStarted;  // the thread has run (SetOptions resumed it)
    volatile LONG closing;    // set once by Close, detach or the window's own shutdown
    HANDLE uiReady;           // set by the thread once its window exists or creation failed
};

stLibraryState& LibraryState();

// Sets the closing flag; returns true for the caller that set it first.
bool MarkClosing();
// Waits until a started user-interface thread has its window (or gave up creating it), so that
// the destroy request cannot miss a window that is still being created.
void WaitForUiReady();
// Waits (from a host thread) until a started user-interface thread has ended.
void WaitForUiThreadEnd();
