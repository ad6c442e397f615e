// The host path's platform side in the DLL. A host call's bytes are forwarded to the target link on
// the user-interface thread, in the same synchronous hand-over that runs the dispatcher:
// that thread also opens and closes the link and decides whether the panel answers for
// itself, so each frame is either passed to the target or answered by the panel, also at the
// moment a link comes up (forwarded on the host's thread, a frame could be checked against a
// closed port and then handled after the panel stopped answering, or the other way round).
#include "protocol/host_link_hooks.h"

#include "api/library_state.h"
#include "link/connection.h"
#include "monitor/monitor_line.h"
#include "api/dll_panel.h"
#include "protocol/dispatcher.h"
#include "protocol/host_link.h"
#include "ui/main_messages.h"
#include "ui/window_registry.h"

namespace {
// The bytes of the call being handed over: the core calls the platform's forwarding and then the
// hand-over on the calling thread, while the caller's buffer is still valid.
struct stPendingForward {
    const uint8_t* bytes;
    unsigned int length;
};
thread_local stPendingForward t_forward{nullptr, 0};

// The user-interface thread's hand-over in progress, whether its messages changed the LCD, and
// whether the drawing of those changes is already due.
thread_local bool t_dispatching = false;
thread_local bool t_lcdChanged = false;
thread_local bool t_drawDue = false;
// The hand-over repainted the LCD's background (a backlight change), which wiped the dots: they
// are drawn again before the call returns rather than a moment later, so the text never blinks.
thread_local bool t_backgroundDrawn = false;
// The LCD is drawn this long after the first host message that changed it: a host that writes
// line after line pays for one drawing per interval, not one per message, and a person sees no
// delay.
constexpr UINT kLcdDrawDelayMs = 10;

void ForwardHandedOverCall(WPARAM length, LPARAM bytes) {
    if (bytes && length) ForwardToTargetLink(reinterpret_cast<const unsigned char*>(bytes), static_cast<unsigned int>(length));
}
}  // namespace

void RememberForward(const uint8_t* bytes, unsigned int length) { t_forward = {bytes, length}; }

void ShowHostBytesInMonitor(int direction, const uint8_t* bytes, unsigned int length, uint8_t activeMode,
                            uint8_t pendingMode) {
    Monitor(DllPanel().monitor, direction, bytes, length, activeMode, pendingMode);
}

void HandOverToPanelWindow() {
    const stPendingForward forward = t_forward;
    t_forward = {nullptr, 0};
    // A host that sends right after SetOptions must not lose its first messages to a window
    // that is still being created.
    if (!Windows().hwndMain) WaitForUiReady();
    HWND main = Windows().hwndMain;
    if (main && IsWindow(main))
        SendMessageA(main, PANEL_WM_INCOMING, forward.length, reinterpret_cast<LPARAM>(forward.bytes));
    else
        DiscardIncomingQueue(DllPanel().protocol);  // no panel to apply them to (not started yet, or closed)
}

void RunHandedOverCall(WPARAM length, LPARAM bytes) {
    ForwardHandedOverCall(length, bytes);
    stPanel& panel = DllPanel();
    // A command injected from inside the dispatcher comes back here on the same thread; the
    // outer run takes its messages and does the rest.
    if (t_dispatching) {
        DispatchAllMessages(PanelDispatch(panel));
        return;
    }
    t_dispatching = true;
    DispatchAllMessages(PanelDispatch(panel));
    t_dispatching = false;
    // The host need not wait for the drawing, which costs more than the rest of its round trip:
    // a timer draws the changes once this hand-over has returned. (Replying early instead would
    // cost the host's thread a further round to the server in every call.)
    if (!t_lcdChanged) return;
    t_lcdChanged = false;
    if (t_backgroundDrawn) {
        t_backgroundDrawn = false;
        LcdDrawCells(panel.lcdDraw, panel.lcd, LcdDrawHook(panel.lcdDraw));
        return;
    }
    HWND main = Windows().hwndMain;
    if (!t_drawDue && main && SetTimer(main, TIMER_LCD_DRAW, kLcdDrawDelayMs, nullptr)) {
        t_drawDue = true;
        return;
    }
    if (!t_drawDue) LcdDrawCells(panel.lcdDraw, panel.lcd, LcdDrawHook(panel.lcdDraw));
}

void DrawDeferredLcd(HWND window) {
    KillTimer(window, TIMER_LCD_DRAW);
    t_drawDue = false;
    stPanel& panel = DllPanel();
    LcdDrawCells(panel.lcdDraw, panel.lcd, LcdDrawHook(panel.lcdDraw));
}

void NoteLcdBackgroundDrawn() {
    if (t_dispatching) t_backgroundDrawn = true;
}

bool DeferLcdRepaint() {
    if (!t_dispatching) return false;
    t_lcdChanged = true;
    return true;
}
