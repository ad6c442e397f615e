// Operating-mode input: the mouse over keys and LEDs becomes key actions of the core
// (protocol/key_input.h), which report the changes to the host; the mouse elsewhere rotates
// the operating tips in the status line. Editing clicks never get here (main_input.cpp offers
// every message to design editing first).
#include "ui/panel_input.h"

#include "common/options.h"
#include "design/context_help.h"
#include "design/object_model.h"
#include "monitor/trace.h"
#include "api/dll_panel.h"
#include "protocol/key_input.h"
#include "resource_ids.h"
#include "design/design_document.h"
#include "ui/main_messages.h"
#include "ui/window_layout.h"
#include "ui/window_registry.h"
#include "ui/help_window.h"

namespace {
// Set while this module runs the tips timer; the window's creation starts it too, but the
// first mouse move over an object stops it only once this module has started it itself.
int g_tipsTimerRunning = 0;

}  // namespace

// Key looks go straight to the main window: a sunken edge drawn now, or the rectangle handed
// back to the front plate's paint. Both work from the serial reader thread too.
void DrawKeyLookOnWindow(const stPixelRect& rect, int pressed) {
    HWND window = Windows().hwndMain;
    if (!window) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    if (pressed) {
        HDC dc = GetDC(window);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        ReleaseDC(window, dc);
    } else {
        InvalidateRect(window, &r, FALSE);
    }
}

namespace {

struct stHit {
    int found;     // 0 nothing, kKindKey or kKindLed
    int32_t id;
    stPixelRect rect;
    char tooltip[256];
};

// The object under the cursor, LEDs first (an LED over a key hides the key), copied out under
// the list lock.
stHit ObjectAt(int x, int y, bool keysOnly) {
    stHit hit{};
    ListLockGuard guard(DllPanel().design.listLock);
    stPanelObject* object = keysOnly ? nullptr : FindLedAt(DllPanel().design.leds, x, y);
    if (!object) object = FindKeyAt(DllPanel().design.keys, x, y);
    if (!object) return hit;
    hit.found = object->kind;
    hit.id = object->id();
    hit.rect = object->pixelRect();
    if (object->tooltip) lstrcpynA(hit.tooltip, object->tooltip, sizeof hit.tooltip);
    return hit;
}

bool ControlHeld(WPARAM keys) { return (keys & MK_CONTROL) != 0; }

}  // namespace

void PanelMouseMove(HWND window, WPARAM, int x, int y) {
    const stHit hit = ObjectAt(x, y, false);
    if (hit.found) {
        if (lstrlenA(hit.tooltip) > 1) StatusLine(DllPanel().monitor, "%s", hit.tooltip);
        if (g_tipsTimerRunning) {
            KillTimer(window, TIMER_TIP);
            g_tipsTimerRunning = 0;
        }
    } else if (!g_tipsTimerRunning) {
        NextTip(DllPanel().design, DllPanel().monitor);
        RestartTipTimer(window);
        g_tipsTimerRunning = 1;
    }
}

void RestartTipTimer(HWND window) {
    // A design may store an interval of 0 seconds: the tip then stays instead of being
    // replaced at the timer's minimum period.
    const int32_t interval = DllPanel().design.model.tipInterval;
    if (interval > 0) SetTimer(window, TIMER_TIP, static_cast<UINT>(interval), nullptr);
    else KillTimer(window, TIMER_TIP);
}

void ShowMouseCoordinates(HWND window, int x, int y) {
    if (!HasOption(DllPanel().options, OPT_SHOW_COORDS)) return;
    RECT frame{};
    GetWindowRect(window, &frame);
    StatusLine(DllPanel().monitor, "cx: %d, cy: %d\nwx: %d, wy: %d", x, y, static_cast<int>(frame.left), static_cast<int>(frame.top));
}

void PanelLeftButtonDown(HWND window, WPARAM keys, int x, int y) {
    if (HideHelpPopup()) return;
    const stHit hit = ObjectAt(x, y, false);
    if (!hit.found) {
        const POINT cursor{x, y};
        if (!PtInRect(&WindowLayout().iconRect, cursor)) return;
        if (DesignDocument().noDesignFile)
            Trace(DllPanel().monitor, "Kann Schnittstelle nicht \xF6" "ffnen (kein Designfile geladen)\r\n");
        else
            SendMessageA(window, WM_COMMAND, CMD_CONNECT, 0);
        return;
    }
    if (hit.found != kKindKey) return;
    KeyAction(DllPanel().protocol, hit.id, ControlHeld(keys) ? KEY_LATCH_TOGGLE : KEY_PRESS, &hit.rect);
}

void PanelLeftButtonUp(HWND, WPARAM keys, int x, int y) {
    const stHit hit = ObjectAt(x, y, true);
    if (!hit.found || ControlHeld(keys)) return;
    KeyAction(DllPanel().protocol, hit.id, KEY_RELEASE, &hit.rect);
}

void PanelControlReleased(HWND) { KeyAction(DllPanel().protocol, 0, KEY_RELEASE_ALL, nullptr); }
