// The main panel window "ORPpanelWnd".
#pragma once

#include <windows.h>

bool RegisterMainWindowClass(HINSTANCE instance);
// Creates, shows and updates the main window; false when creation failed.
bool CreateMainWindow(HINSTANCE instance);
// After the message loop: destroys the window without running its shutdown sequence again and
// unregisters the class, so the DLL can be unloaded and loaded again in the same process.
void RemoveMainWindowAndClass(HINSTANCE instance);
// Sets the host window's normal rectangle so that it sits left of the panel's stored placement.
void PlaceHostBesidePanel();
// Appends a separator, "Info über.." and "Hilfe..." to the main window's system menu.
void AppendAboutAndHelpToSystemMenu();
