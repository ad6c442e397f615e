#include "protocol/host_link_hooks.h"

#include "protocol/host_link.h"
#include "ui/app_state.h"

namespace {
void HandOverToPanelWindow() {
    HWND main = AppState().hwndMain;
    if (main && IsWindow(main))
        SendMessageA(main, PANEL_WM_INCOMING, 0, 0);
    else
        DiscardIncomingQueue();  // no panel to apply them to (not started yet, or closed)
}
}  // namespace

void InstallHostLinkHooks() {
    static const stHostLinkHooks hooks{nullptr, nullptr, HandOverToPanelWindow};
    SetHostLinkHooks(&hooks);
}
