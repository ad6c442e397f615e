// Creation and first activation of the main window.
#include <cstdio>
#include <cstring>

#include "common/options.h"
#include "design/file_dialogs.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "lcd/controller.h"
#include "lcd/font_table_window.h"
#include "lcd/lcd_library.h"
#include "lcd/lcd_painter.h"
#include "link/connection.h"
#include "monitor/log_files.h"
#include "monitor/output_windows.h"
#include "monitor/trace.h"
#include "panel/bring_up.h"
#include "api/dll_panel.h"
#include "protocol/dispatcher.h"
#include "resource_ids.h"
#include "settings/registry_settings.h"
#include "settings/settings.h"
#include "design/design_document.h"
#include "design/editor_state.h"
#include "ui/help_window.h"
#include "ui/main_handlers.h"
#include "ui/main_messages.h"
#include "ui/win32_platform.h"
#include "ui/status_line.h"
#include "ui/window_layout.h"
#include "ui/window_registry.h"
#include "panel/bring_up.h"

namespace {

// The operating-system version, read at creation (the scaling reads its platform) and written
// to the trace at the first activation: at creation neither the trace window nor the trace log
// exists yet, so the line would reach no one.
OSVERSIONINFOEXA g_osVersion{};
int g_osVersionKind = 0;  // 0 none, 1 plain record, 2 extended record
bool g_firstActivation = false;

void ReadOsVersion() {
    g_osVersion = OSVERSIONINFOEXA{};
    g_osVersion.dwOSVersionInfoSize = sizeof g_osVersion;
    g_osVersionKind = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&g_osVersion)) ? 2 : 0;
    if (!g_osVersionKind) {
        g_osVersion.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&g_osVersion))) return;
        g_osVersionKind = 1;
    }
}

void TraceOsVersion() {
    if (!g_osVersionKind) return;
    const OSVERSIONINFOEXA& v = g_osVersion;
    switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        Trace(DllPanel().monitor, "Microsoft Win32s ");
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        Trace(DllPanel().monitor, v.dwMajorVersion > 4 || (v.dwMajorVersion == 4 && v.dwMinorVersion) ? "Microsoft Windows 98 "
                                                                                  : "Microsoft Windows 95 ");
        break;
    case VER_PLATFORM_WIN32_NT:
        Trace(DllPanel().monitor, "Microsoft Windows NT ");
        break;
    default:
        break;
    }
    Trace(DllPanel().monitor, "version %d.%d (Build %d)\n", static_cast<int>(v.dwMajorVersion), static_cast<int>(v.dwMinorVersion),
          static_cast<int>(v.dwBuildNumber & 0xFFFF));
    if (g_osVersionKind == 2)
        Trace(DllPanel().monitor, "Service Pack %d.%d\n", static_cast<int>(v.wServicePackMajor), static_cast<int>(v.wServicePackMinor));
}

void LoadSplashBitmap() {
    char path[MAX_PATH + 32];
    std::snprintf(path, sizeof path, "%s%s", DllPanel().settings.wrkDir, EnglishUi(DllPanel().options) ? "\\orpstarte.bmp" : "\\orpstart.bmp");
    stFrontPlate& plate = DllPanel().design.plate;
    HBITMAP splash = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    plate.splashBitmap = splash;
    if (!splash) return;
    BITMAP info{};
    GetObjectA(splash, sizeof info, &info);
    plate.splashWidth = info.bmWidth;
    plate.splashHeight = info.bmHeight;
}

}  // namespace

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create) {
    stWindowRegistry& windows = Windows();
    windows.hwndMain = window;
    windows.hInstance = create->hInstance;
    InstallOutputSinks();
    ReadOsVersion();

    DllPanel().design.scale.nmPerPixelX = kDefaultNmPerPixel;
    DllPanel().design.scale.nmPerPixelY = kDefaultNmPerPixel;
    DesignDocument().modified = DesignDocument().lcdMenuSelection = 0;
    EditorMode() = stEditorMode{};
    g_firstActivation = true;
    MeasureWindowText(window);
    if (HasOption(DllPanel().options, OPT_COMM_UI)) LoadConnectionIcons(windows.hInstance);
    CreateStatusLine(window);
    // The layout is needed before the first size message: the first activation, which can
    // come first, already sizes the window to the design.
    RECT client;
    GetClientRect(window, &client);
    SetClientSize(client.right, client.bottom);

    AnswerHostItself(DllPanel());
    stPanelModel& model = DllPanel().design.model;
    model.tipInterval = 7000;
    model.options = 0;

    if (!DllPanel().platform->ReadStoredSettings(DllPanel().settings)) {
        if (windows.hwndHost) SendMessageA(windows.hwndHost, WM_DESTROY, 0, 0);
        return -1;
    }
    ConnectionUi().connIcon = DllPanel().settings.ifaceType ? 2 : 0;
    ApplyNetworkSettings();

    ApplyPanelSettings(DllPanel());
    InstallPanelDrawing(window);  // measures the screen too
    PrepareFileDialogs();
    LcdReset(DllPanel().lcd);
    if (HasOption(DllPanel().options, OPT_FONT_TABLE)) windows.hwndFontTable = CreateFontTableWindow(windows.hInstance, window);
    CreateHelpPopup(window, windows.hInstance);
    LoadSplashBitmap();
    SetTimer(window, TIMER_TIP, static_cast<UINT>(model.tipInterval), nullptr);
    return 0;
}

void OnActivate(HWND window) {
    if (!g_firstActivation) return;
    g_firstActivation = false;
    stSettings& settings = DllPanel().settings;
    if (settings.orpPlacement.length == static_cast<int32_t>(sizeof(WINDOWPLACEMENT))) {
        WINDOWPLACEMENT placement;
        std::memcpy(&placement, &settings.orpPlacement, sizeof placement);
        SetWindowPlacement(window, &placement);
    }
    PowerUpLcd(DllPanel());
    if (settings.rxTx) SendMessageA(window, WM_COMMAND, CMD_MONITOR, 0);
    if (settings.trace) SendMessageA(window, WM_COMMAND, CMD_TRACE, 0);
    // Posted: the connection dialog is modal, and running it inside the window's creation would
    // hold up every host call that waits for the panel to be ready.
    if (settings.ifaceOpen) PostMessageA(window, WM_COMMAND, CMD_CONNECT, 0);
    TraceOsVersion();
    SendMessageA(window, PANEL_WM_OPEN_LAST, 0, 0);
    if (HasOption(DllPanel().options, OPT_LCD_LIBRARY) && LoadLcdLibrary(DllPanel().lcdLibrary, DllPanel().lcdDraw, DllPanel().monitor, LcdLibraryFolder(settings.wrkDir).c_str()))
        SendMessageA(window, PANEL_WM_BUILD_LCD_MENU, 0, 0);
    AnnounceReset(DllPanel());
    SetTimer(window, TIMER_BLINK, kBlinkIntervalMs, nullptr);
}

void PlaceHostBesidePanel() {
    HWND hostWindow = Windows().hwndHost;
    const stWindowPlacement& panel = DllPanel().settings.orpPlacement;
    if (!hostWindow || panel.length != static_cast<int32_t>(sizeof(WINDOWPLACEMENT))) return;
    WINDOWPLACEMENT host{};
    host.length = sizeof host;
    if (!GetWindowPlacement(hostWindow, &host)) return;
    LONG width = host.rcNormalPosition.right - host.rcNormalPosition.left;
    LONG height = host.rcNormalPosition.bottom - host.rcNormalPosition.top;
    host.rcNormalPosition.right = panel.left;
    host.rcNormalPosition.left = panel.left - width;
    host.rcNormalPosition.top = panel.top + 10;
    host.rcNormalPosition.bottom = host.rcNormalPosition.top + height;
    SetWindowPlacement(hostWindow, &host);
}
