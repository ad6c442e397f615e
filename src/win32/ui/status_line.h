// The status line: a bordered "static" child along the bottom of the main window.
#pragma once

#include <windows.h>

HWND CreateStatusLine(HWND main);
void DestroyStatusLineFont();
