// The main window's procedure: a thin switch that hands each message to one handler.
#include "ui/main_window.h"

#include "api/library_state.h"
#include "common/options.h"
#include "design/object_model.h"
#include "ui/app_state.h"
#include "ui/shutdown.h"
#include "protocol/dispatcher.h"

namespace {
stAppState g_app{};

constexpr int kCreateX = 500;
constexpr int kCreateY = 100;
constexpr int kCreateWidth = 780;
constexpr int kCreateHeight = 450;

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create) {
    stAppState& app = AppState();
    app.hwndMain = window;
    app.hInstance = create->hInstance;
    app.panelMode = 0;
    app.firstActivation = 1;
    PanelModel().linkFlag = 1;  // the panel answers the host for itself until a target is connected
    PanelModel().tipInterval = 7000;
    PanelModel().options = 0;
    return 0;
}

void OnDestroy() {
    PostQuitMessage(0);
    if (MarkClosing() && AppState().hwndHost) PostMessageA(AppState().hwndHost, WM_DESTROY, 0, 0);
    KillTimer(AppState().hwndMain, TIMER_TIP);
    KillTimer(AppState().hwndMain, TIMER_BLINK);
    Sleep(100);
}

LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM param) {
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        if (command == 32782) {
            SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        return DefWindowProcA(window, WM_SYSCOMMAND, command, param);
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_CLOSE:
        // The window itself is never destroyed explicitly: the destroy handling ends the
        // thread, and the thread's end removes the window.
        SendMessageA(window, WM_DESTROY, 0, 0);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    case PANEL_WM_INCOMING:
        DispatchAllMessages();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
}  // namespace

stAppState& AppState() { return g_app; }

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(138));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!HasOption(OPT_NO_MENU)) wc.lpszMenuName = MAKEINTRESOURCEA(EnglishUi() ? 154 : 120);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&wc) != 0;
}

void RemoveMainWindowAndClass(HINSTANCE instance) {
    HWND main = AppState().hwndMain;
    AppState().hwndMain = nullptr;
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
    HWND window = CreateWindowExA(0, kMainWindowClass, "ORPpanel", WS_CAPTION | WS_SYSMENU | WS_OVERLAPPED,
                                  kCreateX, kCreateY, kCreateWidth, kCreateHeight, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOWNORMAL);
    BringWindowToTop(window);
    UpdateWindow(window);
    return true;
}

void PlaceHostBesidePanel() {}

void AppendAboutAndHelpToSystemMenu() {
    HMENU menu = GetSystemMenu(AppState().hwndMain, FALSE);
    if (!menu) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, 32783, "Info \xFC" "ber..");
    AppendMenuA(menu, MF_STRING, 32784, "Hilfe...");
}

void RequestMainWindowShutdown() {
    HWND main = AppState().hwndMain;
    if (main && IsWindow(main)) SendMessageA(main, WM_DESTROY, 0, 0);
}

void ReleaseDesignData() { FreeDesignLists(); }
