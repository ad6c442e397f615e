#include "design/dialog_fields.h"

#include "design/dialog_values.h"

std::string DialogItemText(HWND dialog, int id, int maxLength) {
    HWND item = GetDlgItem(dialog, id);
    int length = item ? GetWindowTextLengthA(item) : 0;
    if (maxLength >= 0 && length > maxLength) length = maxLength;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    if (item) GetWindowTextA(item, &text[0], length + 1);
    text.resize(lstrlenA(text.c_str()));
    return text;
}

int DialogItemNumber(HWND dialog, int id, int maxLength) {
    return ParseDialogNumber(DialogItemText(dialog, id, maxLength).c_str());
}
