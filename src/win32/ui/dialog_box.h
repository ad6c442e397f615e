// Modal dialogs and window classes of this module, shared by every window of the panel.
#pragma once

#include <windows.h>

#include "common/options.h"
#include "api/dll_panel.h"
#include "ui/window_registry.h"

// Runs the English or the German dialog resource, as the host's options ask, as a modal dialog
// of this module; returns what the dialog ended with.
inline INT_PTR RunDialogInLanguage(HWND owner, int englishId, int germanId, DLGPROC proc, LPARAM param = 0) {
    const int id = EnglishUi(DllPanel().options) ? englishId : germanId;
    return DialogBoxParamA(Windows().hInstance, MAKEINTRESOURCEA(id), owner, proc, param);
}

// The procedure of a dialog that answers only its start and its commands: `Init` runs at
// WM_INITDIALOG, `Command` gets each WM_COMMAND's control id and notification code. Every other
// message is left to the dialog manager.
template <void (*Init)(HWND), void (*Command)(HWND, int id, int notification)>
INT_PTR CALLBACK CommandDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Init(dialog);
        return TRUE;
    case WM_COMMAND:
        Command(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

// Registers a window class redrawn on every size change, with the arrow cursor and the window
// colour behind it; icons, menu and the rest as the caller fills them in `wc` beforehand.
inline ATOM RegisterPanelWindowClass(WNDCLASSEXA wc, HINSTANCE instance, WNDPROC proc, const char* name) {
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return RegisterClassExA(&wc);
}
