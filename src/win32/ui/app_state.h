// The application state of the panel window: window handles, mode and editing state, layout.
// Written only by the user-interface thread; other threads read window handles to send
// messages to those windows.
#pragma once

#include <windows.h>

// Private messages of the main window.
constexpr UINT PANEL_WM_SOCKET = WM_USER + 1;
constexpr UINT PANEL_WM_INCOMING = WM_USER + 2;
constexpr UINT PANEL_WM_BUILD_LCD_MENU = WM_USER + 3;
constexpr UINT PANEL_WM_OPEN_LAST = WM_USER + 4;
constexpr UINT PANEL_WM_SHOW_DESIGN = WM_USER + 6;

// Timer ids, all served by one timer procedure.
constexpr UINT_PTR TIMER_BLINK = 2;
constexpr UINT_PTR TIMER_TIP = 3;
constexpr UINT_PTR TIMER_RESET_ANNOUNCE = 4;
constexpr UINT_PTR TIMER_KEY_RETRY = 5;
constexpr UINT_PTR TIMER_HANDSHAKE = 7;

constexpr const char* kMainWindowClass = "ORPpanelWnd";

struct stLayout {
    int statusTop;
    int statusWidth;
    int statusHeight;
    int menuHeight;
    int smallCaptionHeight;
    int twoFrameHeights;
    int captionAndMenuHeight;
    RECT iconRect;
};

struct stAppState {
    HWND hwndMain;
    HWND hwndHost;
    HWND hwndStatus;
    HWND hwndFontTable;
    HWND hwndHelp;
    HWND hwndMonitor;
    HWND hwndTrace;
    HWND hwndMonitorRx;
    HWND hwndMonitorTx;
    HWND hwndTraceText;
    HWND hwndOptionsDlg;
    HWND hwndLcdPanel;
    HWND hwndConnectDlg;
    HWND hwndTakeOverDlg;

    int panelMode;  // 0 operating, 1 design, 2 LCD placement
    int savedMode;
    int drawTool;   // 0, 32800 key tool, 32801 LED tool
    int modified;
    int noDesignFile;
    int lcdPlaced;
    int lcdPlacing;
    int bandStarted;
    int bandDone;
    int lcdMenuSelection;
    int connIcon;

    int lineHeight;
    int clientWidth;
    int clientHeight;
    int screenWidth;
    int screenHeight;
    int iconWidth;
    int iconHeight;
    HICON connIcons[4];
    int firstActivation;
    HINSTANCE hInstance;
    OSVERSIONINFOA osVersion;
    HACCEL accelerators;

    stLayout layout;
};

stAppState& AppState();
