#pragma once

#include <windows.h>

// Entry of the user-interface thread; the parameter is the library's module handle.
DWORD WINAPI UiThreadEntry(LPVOID module);
