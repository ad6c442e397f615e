// Closing and destroying the main window, and the release of the design at detach.
#include "api/library_state.h"
#include "common/options.h"
#include "design/front_plate.h"
#include "design/object_model.h"
#include "lcd/font_table_window.h"
#include "lcd/lcd_library.h"
#include "lcd/lcd_painter.h"
#include "link/connection.h"
#include "monitor/log_files.h"
#include "monitor/output_windows.h"
#include "protocol/host_link.h"
#include "api/dll_panel.h"
#include "settings/registry_settings.h"
#include "design/design_document.h"
#include "ui/main_messages.h"
#include "ui/window_registry.h"
#include "ui/help_window.h"
#include "ui/main_handlers.h"
#include "ui/win32_platform.h"
#include "ui/save_commands.h"
#include "ui/shutdown.h"
#include "ui/status_line.h"

void OnClose(HWND window) {
    if (DesignDocument().modified) {
        int answer = MessageBoxA(window, "M\xF6" "chten Sie das aktuelle Dokument Speichern?", "ORPpanel",
                                 MB_YESNOCANCEL | MB_ICONINFORMATION);
        if (answer == IDCANCEL) return;
        // Yes is the command Save as, which the file commands option gates; a save that
        // failed keeps the window, and with it the design, open.
        if (answer == IDYES && HasOption(DllPanel().options, OPT_FILE_COMMANDS) && SaveDesignAsCommand(window) < 0) return;
    }
    OnDestroy(window);
}

void OnDestroy(HWND window) {
    stWindowRegistry& windows = Windows();
    DestroyStatusLineFont();
    if (DllPanel().design.plate.splashBitmap) DeleteObject(static_cast<HBITMAP>(DllPanel().design.plate.splashBitmap));
    DllPanel().design.plate.splashBitmap = nullptr;
    PostQuitMessage(0);
    // Closing the panel from its own window also closes the host's; Close does not.
    if (MarkClosing() && windows.hwndHost) PostMessageA(windows.hwndHost, WM_DESTROY, 0, 0);
    CloseLinkAtShutdown(LibraryState().uiPhase == UI_UNLOADING);
    KillTimer(window, TIMER_TIP);
    KillTimer(window, TIMER_BLINK);
    Sleep(100);
}

void RequestMainWindowShutdown() {
    HWND main = Windows().hwndMain;
    if (main && IsWindow(main)) SendMessageA(main, WM_DESTROY, 0, 0);
}

void ReleaseDesignData() { ReleasePanelData(DllPanel()); }

void ReleaseWindowResources(HINSTANCE instance) {
    RemoveFontTableWindow(Windows().hwndFontTable, instance);
    Windows().hwndFontTable = nullptr;
    RemoveOutputWindows(instance);
    RemoveHelpPopupClass(instance);
    RemovePanelDrawing();
    ReleasePlateBitmap();
    CloseLogFiles(DllPanel().monitor);
    RemoveOutputSinks();
    CloseRegistrySettings();
}
