// The main window's layout: the client size, the text line height and the screen size it was
// measured with, the status line below the panel area and the connection icon at its right.
// Owned by the user-interface thread.
#pragma once

#include <windows.h>

struct stWindowLayout {
    int lineHeight;
    int clientWidth;
    int clientHeight;
    int screenWidth;
    int screenHeight;
    int iconWidth;
    int iconHeight;
    HICON connIcons[4];  // serial closed, serial open, network closed, network open
    int statusTop;
    int statusWidth;
    int statusHeight;
    RECT iconRect;
};

stWindowLayout& WindowLayout();

// Measures the text line height and the screen.
void MeasureWindowText(HWND window);
// Loads the four connection icons and measures them.
void LoadConnectionIcons(HINSTANCE instance);
// Takes the new client size, recomputes the status line's place and moves it there.
void SetClientSize(int width, int height);
// The client area above the status line.
RECT PanelAreaRect();
