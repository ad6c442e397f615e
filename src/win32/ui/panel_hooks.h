// The platform services the core's dispatcher and front plate reach through hooks: tone,
// timers of the main window, pauses, LED and LCD drawing, and the front plate's device bitmap.
#pragma once

#include <windows.h>

void InstallPanelHooks(HWND main);

// Deletes the front plate's device bitmap (the image itself is the core's).
void ReleasePlateBitmap();
