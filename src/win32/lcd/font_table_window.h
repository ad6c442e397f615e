// The font table window: a small tool window that shows all 256 characters of the LCD's current
// character set, CGRAM included, as a 16 x 16 table (the picture comes from lcd/font_table.h).
//
// The main window creates it hidden at start-up when the options ask for it; the LCD control
// panel shows and hides it and asks it to repaint after defining a character. It keeps no state
// of its own and reads the character set at every paint.
#pragma once

#include <windows.h>

constexpr const char* kFontTableWindowClass = "ORPpanelFontWnd";

// Registers the class and creates the window, owned by `owner`, hidden. Returns it (also kept
// as the application state's hwndFontTable by the caller), null on failure.
HWND CreateFontTableWindow(HINSTANCE instance, HWND owner);
// Destroys the window if it still exists and unregisters the class, so that the library can be
// loaded again in the same process.
void RemoveFontTableWindow(HWND window, HINSTANCE instance);
// Shows a hidden window, hides a shown one.
void ToggleFontTableWindow(HWND window);
// Repaints the whole table (after a character was defined).
void RepaintFontTableWindow(HWND window);
