// The DLL's one panel. Every export, window, dialog and link thread of the process acts on it.
#pragma once

#include "panel/panel.h"

stPanel& DllPanel();
