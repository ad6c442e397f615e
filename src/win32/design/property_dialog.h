// The key and LED property dialog (resources 118/157 and 119/156) and the colour chooser it
// uses for the LED colours.
#pragma once

#include <windows.h>

#include "design/editor_state.h"

constexpr INT_PTR kPropOk = 1;
constexpr INT_PTR kPropCancelled = 2;
constexpr INT_PTR kPropDeleted = 3;

// Runs the dialog of request->dialogId modally. 1: changes applied; 2: cancelled, nothing
// applied; 3: the object was deleted (and freed when it was in the list).
INT_PTR RunPropertyDialog(HWND owner, stPropRequest* request);

// The key or LED dialog resource for the user-interface language.
int32_t KeyDialogId();
int32_t LedDialogId();
inline bool IsLedDialog(int32_t dialogId) { return dialogId == 119 || dialogId == 156; }

// The standard colour chooser, full dialog, with `colour` preselected and the process-wide
// custom colours; writes the choice back and returns 1 on OK.
int ChooseLedColour(HWND owner, COLORREF* colour);

// Ticks or clears the multicolour box and shows or hides the second half's controls; when on,
// writes the proposed second identifier into its field.
void ShowMulticolour(HWND dialog, bool on, int proposed);

// Paints an owner-drawn colour button in its brush, with its text in a contrasting colour.
void PaintColourButton(const DRAWITEMSTRUCT* item, HBRUSH brush, COLORREF colour);
