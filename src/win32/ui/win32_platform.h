// The DLL's platform: what the core's panel needs from Windows, in one class installed on the
// process's panel when the library is attached. Each member hands over to the part of this
// layer that owns the window or device concerned.
#pragma once

#include <windows.h>

#include "common/platform.h"

// The one instance, installed on the process's panel at attach.
PanelPlatform& DllPlatform();

// Deletes the front plate's device bitmap (the image itself is the core's).
void ReleasePlateBitmap();
