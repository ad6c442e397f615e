// The panel's windows that more than one part of the user interface reaches: the main window,
// the host's window, the status line and the tool windows, with the module and accelerators
// they were made from. Written only by the user-interface thread; other threads read window
// handles to send messages to those windows.
#pragma once

#include <windows.h>

struct stWindowRegistry {
    HINSTANCE hInstance;
    HACCEL accelerators;
    HWND hwndMain;
    HWND hwndHost;
    HWND hwndStatus;
    HWND hwndFontTable;
    HWND hwndHelp;
    HWND hwndOptionsDlg;
    HWND hwndLcdPanel;
};

stWindowRegistry& Windows();
