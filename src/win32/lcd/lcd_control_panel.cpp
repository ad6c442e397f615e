// The LCD control panel (not built yet: it does not open).
#include "lcd/lcd_control_panel.h"

void OpenLcdControlPanel(HWND) {}
void LcdPanelFunctionKey(HWND, WPARAM) {}
