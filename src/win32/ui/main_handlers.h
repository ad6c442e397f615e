// Handlers of the main window's messages, one per message, called from its window procedure.
#pragma once

#include <windows.h>

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create);
// Every activation; only the first one does anything.
void OnActivate(HWND window);
void OnPaint(HWND window);
void OnClose(HWND window);
void OnDestroy(HWND window);
void OnCommand(HWND window, int id, LPARAM param);
LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM param);
void OnInitMenuPopup(HMENU popup, int position);
void OnMenuSelect(int id, UINT flags);
void OnTimer(HWND window, UINT_PTR id);

void BuildLcdMenu(HWND window);
void OpenLastDesign(HWND window);
void ShowReadDesign(HWND window);

// Sets the title "ORPpanel - <text>".
void SetPanelTitle(HWND window, const char* text);
// Invalidates the client area above the status line, erasing it unless told otherwise.
void RepaintPanelArea(HWND window, BOOL erase = TRUE);
// Sizes the window to the front plate: flag 1 after New, 0 after a design or bitmap was shown.
void ResizeToPanel(HWND window, int flag);
