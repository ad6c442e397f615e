// The Rx/Tx monitor ("ORPpanelMonitorWnd") and the trace window ("ORPpanelTraceWnd"), the
// sinks that feed them and the status line, and the Win32 clock of the log files.
//
// Both windows are created on first use, owned by the main window, and hidden rather than
// destroyed when closed; they keep their text until an edit child is full, and then start over.
// Text reaches them from any thread: the sinks add it to a buffer of the edit it is for and
// tell the window once; the window's thread appends what has gathered a few times a second, so
// no thread waits for the user-interface thread and a busy host is not slowed by the edits.
#pragma once

#include <windows.h>

#include "monitor/monitor_output.h"  // stClockTime

// Edit child ids.
constexpr int kMonitorRxEditId = 1;  // left: frames the host handed to the panel
constexpr int kMonitorTxEditId = 2;  // right: frames delivered to the host
constexpr int kTraceEditId = 3;

constexpr const char* kMonitorWindowClass = "ORPpanelMonitorWnd";
constexpr const char* kTraceWindowClass = "ORPpanelTraceWnd";
constexpr int kOutputTextLimit = 32000;

// The two windows and their edit children; null while a window does not exist.
struct stOutputWindows {
    HWND hwndMonitor;
    HWND hwndMonitorRx;
    HWND hwndMonitorTx;
    HWND hwndTrace;
    HWND hwndTraceText;
};

stOutputWindows& OutputWindows();

// Connects the panel's trace, status line and monitor texts to these windows and its logs to the
// Win32 clock. Call once when the main window is created, before the settings are read (their
// failures are traced).
void InstallOutputSinks();
// Disconnects them again (library unload): texts are dropped, the logs use the standard clock.
void RemoveOutputSinks();

// The DLL platform's members for the texts and the clock; they do nothing (the clock: returns
// false) while the windows are disconnected.
void OutputTraceText(const char* text);
void OutputStatusText(const char* text);
void OutputMonitorLine(int direction, const char* line);
// Whether the monitor window exists (shown, or hidden with the lines it keeps collecting).
bool MonitorWindowExists();
bool OutputClock(bool utc, stClockTime* time);

// Creates the window (registering its class on first use), moves it to the placement saved in
// the settings and shows it. An existing window is only shown. Returns the window or null.
// The monitor's caption follows OPT_ENGLISH.
HWND OpenMonitorWindow(HINSTANCE instance, HWND owner);
HWND OpenTraceWindow(HINSTANCE instance, HWND owner);
// The View commands 32820 and 32821: an existing window is shown if hidden and hidden if shown;
// a missing one is created.
void ToggleMonitorWindow(HINSTANCE instance, HWND owner);
void ToggleTraceWindow(HINSTANCE instance, HWND owner);
bool IsMonitorWindowVisible();
bool IsTraceWindowVisible();

// The sinks themselves, for callers that want them directly: append a monitor line to the edit
// of its direction (1 left, 2 right), a trace text to the trace window, set the status line.
void AppendMonitorLine(int direction, const char* line);
void AppendTraceText(const char* text);
void SetStatusText(const char* text);

// Destroys both windows (if they still exist) and unregisters the classes, so the library can
// be loaded again in the same process.
void RemoveOutputWindows(HINSTANCE instance);
