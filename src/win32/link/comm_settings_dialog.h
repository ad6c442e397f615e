// The communication settings dialog (interface, COM port and baud rate, the target's address
// and port, connect at start). On OK the settings are written to the registry.
#pragma once

#include <windows.h>

// Runs the dialog modally, owned by `owner`. Returns IDOK or IDCANCEL.
INT_PTR RunCommSettingsDialog(HWND owner);
