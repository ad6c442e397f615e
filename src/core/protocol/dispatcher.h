// The incoming message dispatcher: it checks each frame against the protocol mode and executes
// its command on the panel: the emulated controller (lcd/controller.h), the LED state, the key
// click settings, the reset announcement and the key reports (panel_reports.h).
//
// Everything here runs on the user-interface thread: the main window calls
// DispatchAllMessages when the host path hands the incoming queue over, and its timer
// procedure calls DispatcherTimer for the reset announcement and key report timers. The
// platform (tone, timers, LED drawing, pauses) is reached through the protocol record's
// PanelPlatform (common/platform.h). The panel's state is its protocol record (protocol.h).
#pragma once

#include <cstdint>

#include "protocol/panel_reports.h"

struct LcdController;
struct stLcdDrawState;
struct stProtocol;

// What the dispatcher works on besides the design's model and lists: the panel's protocol
// record (with its platform) and its LCD, the controller and its drawing. The panel hands out
// one for itself (PanelDispatch, panel/panel.h).
struct stDispatchContext {
    stProtocol& protocol;
    LcdController& lcd;
    stLcdDrawState& lcdDraw;
};

constexpr int kFillBufferSize = 160;

// Back to the load-time state: bitmaps, click settings, announcement and pending key buffer.
void ResetDispatcherState(stProtocol& p);

// Processes every message of the incoming queue, oldest first, and removes each one.
void DispatchAllMessages(const stDispatchContext& panel);
// Processes one unescaped frame (CR included).
void DispatchPanelMessage(const stDispatchContext& panel, const uint8_t* frame, int length);

// Recomputes and draws every LED whose refresh is pending from the LED state bitmap.
void UpdateLeds(const stProtocol& p);
