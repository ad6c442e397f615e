// Save, Save as and Export front plate: the file written by name, and what the window shows
// afterwards. A save that wrote nothing says so in a message box and leaves the design marked
// as modified and the title as it was.
#pragma once

#include <windows.h>

// The design command Save (32771): to the design path, or as Save as when there is none.
void SaveDesignCommand(HWND window);
// Save as (32776): 1 saved, 0 file dialog cancelled, -1 the save failed (and was reported).
int SaveDesignAsCommand(HWND window);
// Export front plate (32781).
void ExportPlateCommand(HWND window);
