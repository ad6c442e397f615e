// Connection to target hardware: connect and disconnect, communication settings.
#pragma once

#include <windows.h>

// Menu command 32773: connect, or disconnect while a link is open.
void ConnectCommand(HWND window);
// Menu command 32840.
void OpenCommSettings(HWND window);
// Whether the active interface is open (network: a socket; serial: the port). The
// Communication menu reads "Disconnect" and greys the settings while it is.
bool LinkIsOpen();
