// The four prepared file dialogs: 1 design files, 2 front plate bitmaps, 3 LCD files, 4 all
// files. Each keeps its own 260-character path and title buffers, so a dialog opens where the
// user left it.
#pragma once

#include <windows.h>

// Prepares the four descriptions without an owner (window creation).
void PrepareFileDialogs();
// Shows the open (`save` false) or save dialog of `kind`, owned by `owner`. On OK copies the
// chosen full path into `path` (260 bytes) and returns 1; a cancelled dialog or a kind outside
// 1..4 returns 0 and changes nothing.
int RunFileDialog(int kind, bool save, HWND owner, char* path);
