// Reading and writing the fields of the editor's dialogs as text and numbers, and the solid
// brushes their owner-drawn colour buttons are painted with.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// A control's text, or "" when the dialog has no such control. With a `maxLength` of 0 or more,
// only that many characters are read.
std::string DialogItemText(HWND dialog, int id, int maxLength = -1);

// A number field as the user typed it: its leading decimal integer, 0 for any other text.
int DialogItemNumber(HWND dialog, int id, int maxLength = -1);

inline void SetDialogNumber(HWND dialog, int id, int value) {
    SetDlgItemInt(dialog, id, static_cast<UINT>(value), TRUE);
}

// Deletes the brushes that were made and clears their slots.
template <std::size_t N>
void DeleteBrushes(HBRUSH (&brushes)[N]) {
    for (HBRUSH& brush : brushes) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
}
