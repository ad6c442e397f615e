// The main window's class name, its private messages and its timer ids.
#pragma once

#include <windows.h>

#include "panel/bring_up.h"

// Private messages of the main window.
constexpr UINT PANEL_WM_SOCKET = WM_USER + 1;
constexpr UINT PANEL_WM_INCOMING = WM_USER + 2;
constexpr UINT PANEL_WM_BUILD_LCD_MENU = WM_USER + 3;
constexpr UINT PANEL_WM_OPEN_LAST = WM_USER + 4;
constexpr UINT PANEL_WM_SHOW_DESIGN = WM_USER + 6;

// Timer ids, all served by one timer procedure.
constexpr UINT_PTR TIMER_BLINK = kBlinkTimerId;
constexpr UINT_PTR TIMER_TIP = 3;
constexpr UINT_PTR TIMER_RESET_ANNOUNCE = 4;
constexpr UINT_PTR TIMER_KEY_RETRY = 5;
constexpr UINT_PTR TIMER_HANDSHAKE = 7;
constexpr UINT_PTR TIMER_LCD_DRAW = 8;  // draws the LCD cells that host messages changed

constexpr const char* kMainWindowClass = "ORPpanelWnd";
