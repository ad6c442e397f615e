// Help: the context help pop-up "ORPpanelHelpWnd", F1 over an object, the questions that offer
// to look for a missing help file, the help file and the About box.
#pragma once

#include <windows.h>

constexpr const char* kHelpWindowClass = "ORPpanelHelpWnd";

// Registers the pop-up's class and creates it hidden, owned by the main window (creation).
HWND CreateHelpPopup(HWND main, HINSTANCE instance);
// Unregisters the class after the windows are gone (end of the user-interface thread).
void RemoveHelpPopupClass(HINSTANCE instance);

// F1 released over the main window: the help text of the LED or key under the cursor in the
// pop-up, or the help file when there is no object.
void HelpKeyF1(HWND window);
// Any character typed on the panel in operating mode hides the help pop-up.
void HelpPopupCharacter(HWND window);
// Hides the help pop-up if it is visible; returns true if it was.
bool HideHelpPopup();
// Menu and system menu commands 32783 (About) and 32784 (help file).
void OpenAboutBox(HWND window);
void OpenHelpFile(HWND window);
// Asks question 32842, 32843 or 32844 and lets the user choose the file; true when one was
// chosen (and stored in the settings).
bool AskForHelpFile(HWND owner, int question);
