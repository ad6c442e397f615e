// Help: the context help pop-up, F1 over an object, the help file and the About box.
#pragma once

#include <windows.h>

// F1 released over the main window.
void HelpKeyF1(HWND window);
// Escape in operating mode hides the help pop-up.
void HelpPopupEscape(HWND window);
// Hides the help pop-up if it is visible; returns true if it was.
bool HideHelpPopup();
// Menu and system menu commands 32783 (About) and 32784 (help file).
void OpenAboutBox(HWND window);
void OpenHelpFile(HWND window);
