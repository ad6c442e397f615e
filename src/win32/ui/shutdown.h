// Ending the panel: the destroy request sent to the main window by Close and by detach, and
// the release of the design data at detach.
#pragma once

#include <windows.h>

// Synchronously sends the destroy request to the main window, if it exists.
void RequestMainWindowShutdown();
// Frees the front plate image and every list of the design (detach).
void ReleaseDesignData();
// After the message loop: the output windows, drawing resources, logs and sinks, so that the
// DLL can be unloaded and loaded again in the same process.
void ReleaseWindowResources(HINSTANCE instance);
