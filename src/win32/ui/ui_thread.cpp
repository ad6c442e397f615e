// The user-interface thread: registers and creates the main window, finds the host's window and
// runs the message loop until the main window posts the quit message.
//
// How the thread ends without running code of an unmapped DLL is told in api/dll_main.cpp.
#include "ui/ui_thread.h"

#include "api/library_state.h"
#include "common/options.h"
#include "ui/window_registry.h"
#include "ui/main_window.h"
#include "ui/shutdown.h"
#include "api/dll_panel.h"

namespace {
BOOL CALLBACK KeepFirstWindow(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindHostWindow() {
    HWND first = nullptr;
    EnumThreadWindows(LibraryState().hostThreadId, KeepFirstWindow, reinterpret_cast<LPARAM>(&first));
    return first;
}

void RunMessageLoop(HWND main, HACCEL accelerators) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorA(main, accelerators, &msg)) continue;
        // Any message carrying the F4 key code that no accelerator took is dropped, so Alt+F4
        // cannot close the panel while the F4 accelerator still works.
        if (msg.wParam == VK_F4) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}  // namespace

DWORD WINAPI UiThreadEntry(LPVOID module) {
    HINSTANCE instance = static_cast<HINSTANCE>(module);
    stWindowRegistry& windows = Windows();
    bool registered = RegisterMainWindowClass(instance);
    bool created = registered && CreateMainWindow(instance);
    SetEvent(LibraryState().uiReady);
    if (created) {
        windows.hwndHost = FindHostWindow();
        if (HasOption(DllPanel().options, OPT_HIDE_HOST) && windows.hwndHost) ShowWindow(windows.hwndHost, SW_HIDE);
        PlaceHostBesidePanel();
        windows.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(120));
        if (HasOption(DllPanel().options, OPT_NO_MENU)) AppendAboutAndHelpToSystemMenu();
        RunMessageLoop(windows.hwndMain, windows.accelerators);
    }
    if (registered) RemoveMainWindowAndClass(instance);
    ReleaseWindowResources(instance);
    EndUiThread();
    return 0;
}
