// Connects the core's host link to the panel window: the hand-over of incoming frames to the
// user-interface thread is a synchronous PANEL_WM_INCOMING, which carries the call's bytes for
// the target link (wParam: count, lParam: the bytes, or 0 when the call completed no frame).
#pragma once

#include <windows.h>

#include <cstdint>

// The DLL platform's host path members. The core calls RememberForward and then the hand-over
// on the host's thread, while the call's bytes are still valid; the hand-over carries them to
// the user-interface thread, which forwards them (ForwardHandedOverCall) before dispatching.
void RememberForward(const uint8_t* bytes, unsigned int length);
void HandOverToPanelWindow();
// Every frame of a host call and every frame delivered to the host shows in the monitor.
void ShowHostBytesInMonitor(int direction, const uint8_t* bytes, unsigned int length, uint8_t activeMode,
                            uint8_t pendingMode);
// PANEL_WM_INCOMING on the user-interface thread: forwards the call's bytes to the open target
// link, runs the dispatcher and lets the host's call return once its answers are queued. The
// LCD cells the messages changed are drawn shortly after, on TIMER_LCD_DRAW (DrawDeferredLcd).
void RunHandedOverCall(WPARAM length, LPARAM bytes);
void DrawDeferredLcd(HWND window);
// The platform's LCD repaint while a hand-over dispatches: true when the cells are drawn after
// the host's call has returned; false outside a hand-over (draw them now).
bool DeferLcdRepaint();
// The LCD's background was just drawn anew: the dots of this hand-over are drawn before it returns.
void NoteLcdBackgroundDrawn();
