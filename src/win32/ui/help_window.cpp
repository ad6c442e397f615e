// Help (not built yet: nothing happens).
#include "ui/help_window.h"

void HelpKeyF1(HWND) {}
void HelpPopupEscape(HWND) {}
bool HideHelpPopup() { return false; }
void OpenAboutBox(HWND) {}
void OpenHelpFile(HWND) {}
