// Connects the core's host link to the panel window: the hand-over of incoming frames to the
// user-interface thread is a synchronous PANEL_WM_INCOMING.
#pragma once

void InstallHostLinkHooks();
