// Connection to target hardware (not built yet: Connect only repaints the icon).
#include "link/connection.h"

#include "ui/app_state.h"

void ConnectCommand(HWND window) { InvalidateRect(window, &AppState().layout.iconRect, TRUE); }
void OpenCommSettings(HWND) {}
bool LinkIsOpen() { return false; }
