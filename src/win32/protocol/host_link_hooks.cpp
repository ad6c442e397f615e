#include "protocol/host_link_hooks.h"

#include "api/library_state.h"
#include "link/connection.h"
#include "monitor/monitor_line.h"
#include "protocol/host_link.h"
#include "ui/app_state.h"

namespace {
void HandOverToPanelWindow() {
    // A host that sends right after SetOptions must not lose its first messages to a window
    // that is still being created.
    if (!AppState().hwndMain) WaitForUiReady();
    HWND main = AppState().hwndMain;
    if (main && IsWindow(main))
        SendMessageA(main, PANEL_WM_INCOMING, 0, 0);
    else
        DiscardIncomingQueue();  // no panel to apply them to (not started yet, or closed)
}
}  // namespace

void InstallHostLinkHooks() {
    // Every frame of a host call and every frame delivered to the host shows in the monitor.
    static const stHostLinkHooks hooks{ForwardToTargetLink, Monitor, HandOverToPanelWindow};
    SetHostLinkHooks(&hooks);
}
