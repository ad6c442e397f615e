// Connects the core's host link to the panel window: the hand-over of incoming frames to the
// user-interface thread is a synchronous PANEL_WM_INCOMING, which carries the call's bytes for
// the target link (wParam: count, lParam: the bytes, or 0 when the call completed no frame).
#pragma once

#include <windows.h>

void InstallHostLinkHooks();
// PANEL_WM_INCOMING, before the dispatcher runs: the call's bytes to the open target link.
void ForwardHandedOverCall(WPARAM length, LPARAM bytes);
