// The main window's procedure: a thin switch that hands each message to one handler. The
// handlers live in main_create.cpp (creation and first activation), main_paint.cpp (size and
// paint), main_commands.cpp (commands and the system menu), main_input.cpp (mouse and keys) and
// main_shutdown.cpp.
#include "ui/main_window.h"

#include <windowsx.h>

#include "common/options.h"
#include "link/connection.h"
#include "api/dll_panel.h"
#include "protocol/dispatcher.h"
#include "protocol/host_link_hooks.h"
#include "resource_ids.h"
#include "ui/main_handlers.h"
#include "ui/main_input.h"
#include "ui/main_messages.h"
#include "ui/window_layout.h"
#include "ui/window_registry.h"
#include "ui/dialog_box.h"

namespace {

constexpr int kCreateX = 500;
constexpr int kCreateY = 100;
constexpr int kCreateWidth = 780;
constexpr int kCreateHeight = 450;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_SIZE:
        SetClientSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), lParam);
        return 0;
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam));
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(window, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(window, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_RBUTTONUP:
        OnRightButtonUp(window, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(window, wParam);
        return 0;
    case WM_KEYUP:
        OnKeyUp(window, wParam);
        return 0;
    case WM_CHAR:
        OnChar(window, wParam);
        return 0;
    case WM_TIMER:
        OnTimer(window, wParam);
        return 0;
    case PANEL_WM_SOCKET:
        OnSocketNotification(window, lParam);
        return 0;
    case PANEL_WM_INCOMING:
        RunHandedOverCall(wParam, lParam);
        return 0;
    case PANEL_WM_BUILD_LCD_MENU:
        BuildLcdMenu(window);
        return 0;
    case PANEL_WM_OPEN_LAST:
        OpenLastDesign(window);
        return 0;
    case PANEL_WM_SHOW_DESIGN:
        ShowReadDesign(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
}  // namespace


bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PANEL));
    wc.hIconSm = wc.hIcon;
    if (!HasOption(DllPanel().options, OPT_NO_MENU)) wc.lpszMenuName = MAKEINTRESOURCEA(EnglishUi(DllPanel().options) ? IDM_MAIN_ENGLISH : IDM_MAIN_GERMAN);
    return RegisterPanelWindowClass(wc, instance, MainWindowProc, kMainWindowClass) != 0;
}

void RemoveMainWindowAndClass(HINSTANCE instance) {
    HWND main = Windows().hwndMain;
    Windows().hwndMain = nullptr;
    if (main && IsWindow(main)) {
        // The shutdown sequence already ran; destroying the window must not run it again.
        SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        DestroyWindow(main);
    }
    // A class registered by a DLL outlives the DLL unless it is unregistered: a later load in
    // the same process could not register it again, and its procedure would point nowhere.
    UnregisterClassA(kMainWindowClass, instance);
}

bool CreateMainWindow(HINSTANCE instance) {
    HWND window = CreateWindowExA(0, kMainWindowClass, "ORPpanel", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                  kCreateX, kCreateY, kCreateWidth, kCreateHeight, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOWNORMAL);
    BringWindowToTop(window);
    UpdateWindow(window);
    return true;
}

void AppendAboutAndHelpToSystemMenu() {
    HMENU menu = GetSystemMenu(Windows().hwndMain, FALSE);
    if (!menu) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, CMD_INFO, "Info \xFC" "ber..");
    AppendMenuA(menu, MF_STRING, CMD_HELP, "Hilfe...");
}
