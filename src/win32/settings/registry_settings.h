// The settings record's Win32 backend: the registry key "Software\Tavelle\OrPpanel\Settings"
// under the current user, else the local machine, plus the directory, window placement and
// message box services the settings logic needs.
#pragma once

#include "settings/registry_store.h"
#include "settings/settings.h"

// Reads the settings from the registry (the DLL platform's settings store): opens or, at the
// first start, creates and fills the key, and prepares the log directory. Returns 1, or 0 after
// the fatal message box when the key can be neither opened nor created. Call on window creation.
int ReadRegistrySettings(stSettings& settings);
// Writes every value of the settings to the open key, refreshing the four placements from the
// windows that exist. Returns 1 when every value was written.
int WriteRegistrySettings(stSettings& settings);
// Closes the key (library unload; a later ReadRegistrySettings opens it again).
void CloseRegistrySettings();
