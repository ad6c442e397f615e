// Ending the panel: the destroy request sent to the main window by Close and by detach, and
// the release of the design data at detach.
#pragma once

// Synchronously sends the destroy request to the main window, if it exists.
void RequestMainWindowShutdown();
// Frees the front plate image and every list of the design (detach).
void ReleaseDesignData();
