// Rx/Tx monitor and trace windows. One small function per window message, shared by both
// windows: they differ only in their edit children and the layout of those.
#include "monitor/output_windows.h"

#include <atomic>
#include <cstring>

#include "common/alloc.h"
#include "common/options.h"
#include "monitor/log_files.h"
#include "monitor/monitor_line.h"
#include "monitor/trace.h"
#include "settings/settings.h"
#include "ui/dialog_box.h"
#include "ui/window_registry.h"
#include "api/dll_panel.h"

namespace {
// Set between the main window's creation and the library's unload; read on every thread.
std::atomic<bool> g_outputsConnected{false};


stOutputWindows g_windows{};

// Posted to a monitor or trace window: wParam the edit id, lParam a heap text (OrpStrDup) that
// the window frees.
constexpr UINT OUTPUT_WM_APPEND = WM_APP + 1;

constexpr const char* kMonitorTitleGerman =
    "Vom ORPpanel empfangene Meldungen                       Vom ORPpanel geschickte Meldungen ";
constexpr const char* kMonitorTitleEnglish =
    "Messages received by the ORPpanel                       Messages sent by the ORppanel     ";
constexpr const char* kTraceTitle = "TraceWnd";

bool IsMonitor(HWND hwnd) { return hwnd && hwnd == OutputWindows().hwndMonitor; }

HFONT CreateOutputFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    lstrcpynA(font.lfFaceName, "Courier New", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

HWND CreateEdit(HWND parent, int id, HFONT font) {
    HWND edit = CreateWindowExA(
        0, "edit", "",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
            ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
    if (!edit) return nullptr;
    SendMessageA(edit, EM_SETLIMITTEXT, kOutputTextLimit, 0);
    if (font) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return edit;
}

// Appends at the end of the edit. When the text would not fit, the edit starts over with it, so
// the line that overflows is the first of the new text rather than lost.
void AppendToEdit(HWND edit, const char* text) {
    if (!edit) return;
    const int length = GetWindowTextLengthA(edit);
    const int adding = static_cast<int>(std::strlen(text));
    if (length + adding > kOutputTextLimit)
        SendMessageA(edit, EM_SETSEL, 0, -1);
    else
        SendMessageA(edit, EM_SETSEL, length, length);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

void PostAppend(HWND window, int editId, const char* text) {
    if (!window || !text) return;
    char* copy = OrpStrDup(DllPanel().heap, text);
    if (!copy) return;
    if (!PostMessageA(window, OUTPUT_WM_APPEND, static_cast<WPARAM>(editId),
                      reinterpret_cast<LPARAM>(copy)))
        OrpFree(copy);
}

void MoveToSavedPlacement(HWND hwnd, const stWindowPlacement& saved) {
    if (saved.length != static_cast<int32_t>(sizeof(WINDOWPLACEMENT))) return;
    WINDOWPLACEMENT wp;
    std::memcpy(&wp, &saved, sizeof wp);
    wp.showCmd = SW_HIDE;  // shown by the caller
    SetWindowPlacement(hwnd, &wp);
}

// ---- window messages ----------------------------------------------------------------------

BOOL OnCreate(HWND hwnd, const CREATESTRUCTA* create) {
    stOutputWindows& outputs = OutputWindows();
    const bool monitor = create->lpszClass && lstrcmpA(create->lpszClass, kMonitorWindowClass) == 0;
    HFONT font = CreateOutputFont();
    SetPropA(hwnd, "OrpFont", font);
    if (monitor) {
        outputs.hwndMonitor = hwnd;
        outputs.hwndMonitorRx = CreateEdit(hwnd, kMonitorRxEditId, font);
        outputs.hwndMonitorTx = CreateEdit(hwnd, kMonitorTxEditId, font);
        return outputs.hwndMonitorRx && outputs.hwndMonitorTx;
    }
    outputs.hwndTrace = hwnd;
    outputs.hwndTraceText = CreateEdit(hwnd, kTraceEditId, font);
    return outputs.hwndTraceText != nullptr;
}

void OnSize(HWND hwnd, int width, int height) {
    if (IsMonitor(hwnd)) {
        const int half = width / 2;
        MoveWindow(GetDlgItem(hwnd, kMonitorRxEditId), 0, 0, half, height, TRUE);
        MoveWindow(GetDlgItem(hwnd, kMonitorTxEditId), half, 0, width - half, height, TRUE);
    } else {
        MoveWindow(GetDlgItem(hwnd, kTraceEditId), 0, 0, width, height, TRUE);
    }
}

void OnSetFocus(HWND hwnd) {
    HWND edit = GetDlgItem(hwnd, IsMonitor(hwnd) ? kMonitorRxEditId : kTraceEditId);
    if (edit) SetFocus(edit);
}

void OnCommand(HWND hwnd, int id, int code) {
    // A full edit starts over: select everything so the next insertion replaces it.
    if (code == EN_ERRSPACE || code == EN_MAXTEXT) {
        HWND edit = GetDlgItem(hwnd, id);
        if (edit) SendMessageA(edit, EM_SETSEL, 0, -1);
    }
}

void OnAppend(HWND hwnd, int editId, char* text) {
    AppendToEdit(GetDlgItem(hwnd, editId), text);
    OrpFree(text);
}

void OnNcDestroy(HWND hwnd) {
    // Texts still queued for this window die with it.
    MSG pending;
    while (PeekMessageA(&pending, hwnd, OUTPUT_WM_APPEND, OUTPUT_WM_APPEND, PM_REMOVE))
        OrpFree(reinterpret_cast<char*>(pending.lParam));
    if (HFONT font = static_cast<HFONT>(RemovePropA(hwnd, "OrpFont"))) DeleteObject(font);
    stOutputWindows& outputs = OutputWindows();
    if (hwnd == outputs.hwndMonitor) {
        outputs.hwndMonitor = outputs.hwndMonitorRx = outputs.hwndMonitorTx = nullptr;
    } else if (hwnd == outputs.hwndTrace) {
        outputs.hwndTrace = outputs.hwndTraceText = nullptr;
    }
}

LRESULT CALLBACK OutputWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_SIZE:
        OnSize(hwnd, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        OnSetFocus(hwnd);
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CLOSE:
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    case OUTPUT_WM_APPEND:
        OnAppend(hwnd, static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy(hwnd);
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterOutputClass(HINSTANCE instance, const char* className) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, className, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(132));
    wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(133));
    return RegisterPanelWindowClass(wc, instance, OutputWndProc, className) != 0;
}

HWND CreateOutputWindow(HINSTANCE instance, HWND owner, const char* className, const char* title,
                        int height, const stWindowPlacement& saved) {
    if (!RegisterOutputClass(instance, className)) return nullptr;
    HWND hwnd = CreateWindowExA(0, className, title, WS_CAPTION, 0, 0, 780, height, owner,
                                nullptr, instance, nullptr);
    if (!hwnd) return nullptr;
    MoveToSavedPlacement(hwnd, saved);
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

void Toggle(HWND hwnd) { ShowWindow(hwnd, IsWindowVisible(hwnd) ? SW_HIDE : SW_SHOW); }

void Win32Clock(bool utc, stClockTime* out) {
    SYSTEMTIME time;
    if (utc)
        GetSystemTime(&time);
    else
        GetLocalTime(&time);
    *out = stClockTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                       time.wSecond, time.wMilliseconds};
}

}  // namespace

stOutputWindows& OutputWindows() { return g_windows; }

void InstallOutputSinks() { g_outputsConnected.store(true); }

void RemoveOutputSinks() { g_outputsConnected.store(false); }

void OutputTraceText(const char* text) {
    if (g_outputsConnected.load()) AppendTraceText(text);
}

void OutputStatusText(const char* text) {
    if (g_outputsConnected.load()) SetStatusText(text);
}

void OutputMonitorLine(int direction, const char* line) {
    if (g_outputsConnected.load()) AppendMonitorLine(direction, line);
}

bool OutputClock(bool utc, stClockTime* time) {
    if (!g_outputsConnected.load()) return false;
    Win32Clock(utc, time);
    return true;
}

HWND OpenMonitorWindow(HINSTANCE instance, HWND owner) {
    stOutputWindows& outputs = OutputWindows();
    if (outputs.hwndMonitor) {
        ShowWindow(outputs.hwndMonitor, SW_SHOW);
        return outputs.hwndMonitor;
    }
    return CreateOutputWindow(instance, owner, kMonitorWindowClass,
                              EnglishUi(DllPanel().options) ? kMonitorTitleEnglish : kMonitorTitleGerman, 250,
                              DllPanel().settings.rxTxPlacement);
}

HWND OpenTraceWindow(HINSTANCE instance, HWND owner) {
    stOutputWindows& outputs = OutputWindows();
    if (outputs.hwndTrace) {
        ShowWindow(outputs.hwndTrace, SW_SHOW);
        return outputs.hwndTrace;
    }
    return CreateOutputWindow(instance, owner, kTraceWindowClass, kTraceTitle, 200,
                              DllPanel().settings.tracePlacement);
}

void ToggleMonitorWindow(HINSTANCE instance, HWND owner) {
    if (OutputWindows().hwndMonitor)
        Toggle(OutputWindows().hwndMonitor);
    else
        OpenMonitorWindow(instance, owner);
}

void ToggleTraceWindow(HINSTANCE instance, HWND owner) {
    if (OutputWindows().hwndTrace)
        Toggle(OutputWindows().hwndTrace);
    else
        OpenTraceWindow(instance, owner);
}

bool IsMonitorWindowVisible() {
    return OutputWindows().hwndMonitor && IsWindowVisible(OutputWindows().hwndMonitor);
}

bool IsTraceWindowVisible() { return OutputWindows().hwndTrace && IsWindowVisible(OutputWindows().hwndTrace); }

void AppendMonitorLine(int direction, const char* line) {
    PostAppend(OutputWindows().hwndMonitor,
               direction == MONITOR_PANEL_TO_HOST ? kMonitorTxEditId : kMonitorRxEditId, line);
}

void AppendTraceText(const char* text) { PostAppend(OutputWindows().hwndTrace, kTraceEditId, text); }

void SetStatusText(const char* text) {
    if (HWND status = Windows().hwndStatus) SetWindowTextA(status, text);
}

void RemoveOutputWindows(HINSTANCE instance) {
    stOutputWindows& outputs = OutputWindows();
    if (outputs.hwndMonitor) DestroyWindow(outputs.hwndMonitor);
    if (outputs.hwndTrace) DestroyWindow(outputs.hwndTrace);
    UnregisterClassA(kMonitorWindowClass, instance);
    UnregisterClassA(kTraceWindowClass, instance);
}
