// The main window's commands: file, edit, view, the LCDs menu and the LCD and communication
// commands, offered in that order; the first handler that takes an id ends the search. Also the
// system menu, menu preparation and status line help, the timers and the design start-up load.
#include <cstring>
#include <string>

#include "common/options.h"
#include "design/context_help.h"
#include "design/design_file.h"
#include "design/editor_input.h"
#include "design/editor_state.h"
#include "design/file_dialogs.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/lcd_placing.h"
#include "design/object_model.h"
#include "lcd/lcd_control_panel.h"
#include "lcd/lcd_draw.h"
#include "lcd/lcd_library.h"
#include "link/connection.h"
#include "monitor/output_windows.h"
#include "monitor/trace.h"
#include "api/dll_panel.h"
#include "panel/panel_layout.h"
#include "protocol/dispatcher.h"
#include "protocol/host_link_hooks.h"
#include "resource_ids.h"
#include "settings/settings.h"
#include "design/design_document.h"
#include "ui/main_messages.h"
#include "ui/window_registry.h"
#include "ui/help_window.h"
#include "ui/main_handlers.h"
#include "ui/win32_platform.h"
#include "ui/save_commands.h"

namespace {

constexpr int kLcdMenuPosition = 4;  // fifth pop-up of the menu bar
// The library hands out ids up to kLcdMenuLast: 13 files of up to 30 types each.
constexpr int kLcdMenuLastId = kLcdMenuLast;

void NewDesign(HWND window) {
    stDesignDocument& document = DesignDocument();
    document.noDesignFile = 1;
    document.modified = 0;
    DllPanel().settings.fileCfg[0] = '\0';
    stFrontPlate& plate = DllPanel().design.plate;
    if (plate.image) {
        ReleasePlate(DllPanel().design.plate);
        ReleasePlateBitmap();
        DllPanel().lcdDraw.layout.lcdRect = stPixelRect{0, 0, 0, 0};
        SetCurrentLcdType(DllPanel().lcdDraw, nullptr);
        plate.widthUm = plate.heightUm = 0;
        EditorMode().lcdPlaced = 0;
        SetControllerGeometry(DllPanel().lcd, nullptr);
        RepaintPanelArea(window);
        ResetDesign(DllPanel().design);
    }
    plate.widthPx = plate.splashWidth;
    plate.heightPx = plate.splashHeight;
    ResizeToPanel(window, 1);
    SetPanelTitle(window, EnglishUi(DllPanel().options) ? "New ORP design" : "Neue ORPdatei");
}

// Opens a design or front plate by file name and shows it.
void OpenAndShow(HWND window, char* path) {
    int message = OpenByName(DllPanel().design, DesignLcdOf(DllPanel()), path);
    if (message != -1) SendMessageA(window, static_cast<UINT>(message), 0, 0);
}

bool FileCommand(HWND window, int id) {
    if (id != CMD_CLOSE && id != CMD_CONNECT && id != CMD_INFO && id >= CMD_OPEN_DESIGN && id <= CMD_EXPORT_PLATE &&
        !HasOption(DllPanel().options, OPT_FILE_COMMANDS))
        return id != CMD_NO_HANDLER_CTRL_D;
    char path[MAX_PATH] = {};
    switch (id) {
    case CMD_CLOSE:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case CMD_CONNECT:
        ConnectCommand(window);
        return true;
    case CMD_INFO:
        OpenAboutBox(window);
        return true;
    case CMD_NEW_DESIGN:
        NewDesign(window);
        return true;
    case CMD_OPEN_DESIGN:
        if (RunFileDialog(1, false, window, path)) {
            OpenAndShow(window, path);
            SetPanelTitle(window, DllPanel().settings.fileCfg);
            DesignDocument().noDesignFile = 0;
        }
        return true;
    case CMD_SAVE_DESIGN:
        SaveDesignCommand(window);
        return true;
    case CMD_SAVE_DESIGN_AS:
        SaveDesignAsCommand(window);
        return true;
    case CMD_IMPORT_PLATE:
        if (RunFileDialog(2, false, window, path)) {
            ReleasePlate(DllPanel().design.plate);
            OpenAndShow(window, path);
            DesignDocument().modified = 1;
        }
        return true;
    case CMD_EXPORT_PLATE:
        ExportPlateCommand(window);
        return true;
    default:
        return false;
    }
}

void CheckTool(HWND window, int tool, bool checked) {
    if (tool) CheckMenuItem(GetMenu(window), static_cast<UINT>(tool), checked ? MF_CHECKED : MF_UNCHECKED);
}

// The tips dialog edits the design's tip list; a design without tips gets an empty one.
void EnsureTipList() {
    ListLockGuard guard(DllPanel().design.listLock);
    if (!DllPanel().design.tips) DllPanel().design.tips = NewObjList(DllPanel().heap);
}

bool EditCommand(HWND window, int id) {
    stEditorMode& mode = EditorMode();
    switch (id) {
    case CMD_SHOW_OBJECTS:
        mode.panelMode = 1;
        RepaintPanelArea(window);
        return true;
    case CMD_HIDE_OBJECTS:
        mode.panelMode = 0;
        CheckTool(window, mode.drawTool, false);
        mode.drawTool = 0;
        RepaintPanelArea(window);
        return true;
    case CMD_DEFINE_KEYS:
    case CMD_DEFINE_LEDS:
        CheckTool(window, mode.drawTool, false);
        mode.drawTool = id;
        CheckTool(window, id, true);
        mode.panelMode = 1;
        RepaintPanelArea(window);
        return true;
    case CMD_MODEL:
        OpenModelDialog(window);
        return true;
    case CMD_LIST_OBJECTS:
        OpenObjectListDialog(window);
        return true;
    case CMD_TIPS:
        EnsureTipList();
        OpenTipsDialog(window);
        return true;
    default:
        return false;
    }
}

bool ViewCommand(HWND window, int id) {
    switch (id) {
    case CMD_MONITOR:
        ToggleMonitorWindow(Windows().hInstance, window);
        return true;
    case CMD_TRACE:
        ToggleTraceWindow(Windows().hInstance, window);
        return true;
    case CMD_OPTIONS:
        // OK on the dialog may have changed the scale.
        if (OpenOptionsDialog(window)) {
            ResizeToPanel(window, 0);
            InvalidateRect(window, nullptr, TRUE);
        }
        return true;
    default:
        return false;
    }
}

bool LcdMenuCommand(HWND window, int id, LPARAM param) {
    if (id < CMD_LCD_FIRST || id > kLcdMenuLastId) return false;
    stDesignDocument& document = DesignDocument();
    HMENU menu = GetMenu(window);
    if (document.lcdMenuSelection) CheckMenuItem(menu, static_cast<UINT>(document.lcdMenuSelection), MF_UNCHECKED);
    document.lcdMenuSelection = id;
    if (!HasOption(DllPanel().options, OPT_LCD_LIBRARY)) return true;
    char text[260] = {};
    GetMenuStringA(menu, static_cast<UINT>(id), text, sizeof text, MF_BYCOMMAND);
    stLcdType* type = FindLcdTypeByMenuEntry(DllPanel().lcdLibrary, id, text);
    if (!type) return true;
    StartLcdPlacement(type, static_cast<int16_t>(LOWORD(param)), static_cast<int16_t>(HIWORD(param)));
    RepaintPanelArea(window);
    return true;
}

bool LcdAndCommCommand(HWND window, int id) {
    switch (id) {
    case CMD_LCD_PANEL:
        if (!HasOption(DllPanel().options, OPT_LCD_PANEL)) {
            ModifyMenuA(GetMenu(window), CMD_LCD_PANEL, MF_BYCOMMAND | MF_GRAYED, CMD_LCD_PANEL,
                        EnglishUi(DllPanel().options) ? "&LCD Control panel" : "&LCD Steuerung");
        } else {  // focuses the panel when it is open already
            OpenLcdControlPanel(window);
        }
        return true;
    case CMD_COMM_SETTINGS:
        if (HasOption(DllPanel().options, OPT_COMM_UI)) OpenCommSettings(window);
        return true;
    default:
        return false;
    }
}

void SetMenuText(HMENU menu, UINT id, const char* text, bool enabled) {
    ModifyMenuA(menu, id, MF_BYCOMMAND | MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
}

}  // namespace

void SetPanelTitle(HWND window, const char* text) {
    char title[300];
    wsprintfA(title, "%s - %s", "ORPpanel", text);
    SetWindowTextA(window, title);
}

void OnCommand(HWND window, int id, LPARAM param) {
    if (FileCommand(window, id) || EditCommand(window, id) || ViewCommand(window, id) ||
        LcdMenuCommand(window, id, param))
        return;
    LcdAndCommCommand(window, id);
}

LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM param) {
    if (command == CMD_CLOSE || (command & 0xFFF0) == SC_CLOSE) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == CMD_INFO) {
        OpenAboutBox(window);
        return 0;
    }
    if (command == CMD_HELP) {
        OpenHelpFile(window);
        return 0;
    }
    return DefWindowProcA(window, WM_SYSCOMMAND, command, param);
}

void OnInitMenuPopup(HMENU popup, int position) {
    // Only the pop-ups of the menu bar itself (not the system menu or the LCD groups).
    HMENU bar = GetMenu(Windows().hwndMain);
    if (!bar || GetSubMenu(bar, position) != popup) return;
    bool english = EnglishUi(DllPanel().options);
    switch (position) {
    case 0:  // File
        SetMenuText(popup, CMD_SAVE_DESIGN, english ? "&Save design\tStrg+S" : "Design &Speichern\tStrg+S",
                    DesignDocument().modified != 0);
        SetMenuText(popup, CMD_SAVE_DESIGN_AS,
                    english ? "Save design &as...\tStrg+U" : "Design Speichern unter...\tStrg+U",
                    DllPanel().design.plate.image != nullptr);
        SetMenuText(popup, CMD_EXPORT_PLATE,
                    english ? "&Export front panel (BMP)...\tStrg+Umschalt+B"
                            : "&Frontplatte (BMP) exportieren...\tStrg+Umschalt+B",
                    DllPanel().design.plate.image != nullptr);
        break;
    case 2:  // View
        CheckMenuItem(popup, CMD_MONITOR, IsMonitorWindowVisible() ? MF_CHECKED : MF_UNCHECKED);
        CheckMenuItem(popup, CMD_TRACE, IsTraceWindowVisible() ? MF_CHECKED : MF_UNCHECKED);
        break;
    case 3:  // Communication: Connect or Disconnect; no settings while a link is open
        if (LinkIsOpen()) {
            SetMenuText(popup, CMD_CONNECT, english ? "&Disconnect\tCtrl+C" : "&Trennen\tCtrl+C", true);
            EnableMenuItem(popup, CMD_COMM_SETTINGS, MF_BYCOMMAND | MF_GRAYED);
        } else {
            SetMenuText(popup, CMD_CONNECT, english ? "&Connect\tCtrl+C" : "&Verbinden\tCtrl+C", true);
            SetMenuText(popup, CMD_COMM_SETTINGS,
                        english ? "Communication &Settings..." : "&Kommunikationseinstellungen...", true);
        }
        break;
    default:
        break;
    }
}

void OnMenuSelect(int id, UINT flags) {
    if (flags == 0xFFFF || (flags & MF_POPUP)) return;
    if (id >= CMD_LCD_FIRST && id <= kLcdMenuLastId) {
        if (!HasOption(DllPanel().options, OPT_LCD_LIBRARY)) return;
        char text[260] = {};
        GetMenuStringA(GetMenu(Windows().hwndMain), static_cast<UINT>(id), text, sizeof text, MF_BYCOMMAND);
        stLcdType* type = FindLcdTypeByMenuEntry(DllPanel().lcdLibrary, id, text);
        if (type && type->tooltip && type->tooltip[0]) StatusLine(DllPanel().monitor, "%s", type->tooltip);
        return;
    }
    char help[256];
    if (LoadStringA(Windows().hInstance, static_cast<UINT>(id), help, sizeof help) > 0) StatusLine(DllPanel().monitor, "%s", help);
}

void OnTimer(HWND window, UINT_PTR id) {
    switch (id) {
    case TIMER_BLINK:
        LcdBlinkTick(DllPanel().lcdDraw, DllPanel().lcd);
        break;
    case TIMER_TIP:
        NextTip(DllPanel().design, DllPanel().monitor);
        break;
    case TIMER_LCD_DRAW:
        DrawDeferredLcd(window);
        break;
    default:
        if (!DispatcherTimer(DllPanel().protocol, static_cast<int>(id))) KillTimer(window, id);
        break;
    }
}

void BuildLcdMenu(HWND window) {
    HMENU bar = GetMenu(window);
    HMENU lcds = bar ? GetSubMenu(bar, kLcdMenuPosition) : nullptr;
    if (!lcds) return;
    RemoveMenu(lcds, 0, MF_BYPOSITION);
    int files = LcdFileCount(DllPanel().lcdLibrary);
    for (int i = 0; i < files; ++i) {
        HMENU group = CreatePopupMenu();
        std::string name = LcdFileName(DllPanel().lcdLibrary, i) ? LcdFileName(DllPanel().lcdLibrary, i) : "";
        if (name.size() >= 4) name.resize(name.size() - 4);
        if (stObjList* types = LcdTypesOfFile(DllPanel().lcdLibrary, i)) {
            for (stListNode* node = types->first; node; node = node->next) {
                auto* type = static_cast<stLcdType*>(node->item);
                if (type->name && type->name[0])
                    AppendMenuA(group, MF_STRING, static_cast<UINT_PTR>(type->placement.id), type->name);
            }
        }
        AppendMenuA(lcds, MF_POPUP, reinterpret_cast<UINT_PTR>(group), name.c_str());
        if (i + 1 < files) AppendMenuA(lcds, MF_SEPARATOR, 0, nullptr);
    }
    DrawMenuBar(window);
    if (DesignDocument().lcdMenuSelection)
        CheckMenuItem(bar, static_cast<UINT>(DesignDocument().lcdMenuSelection), MF_CHECKED);
}

void OpenLastDesign(HWND window) {
    stSettings& settings = DllPanel().settings;
    if (settings.fileCfg[0]) {
        if (OpenByName(DllPanel().design, DesignLcdOf(DllPanel()), settings.fileCfg) == kShowDesignMessage) {
            SendMessageA(window, PANEL_WM_SHOW_DESIGN, 0, 0);
            SetPanelTitle(window, settings.fileCfg);
            ShowLcdUnlit(DllPanel());
            // The loaded LCD counts as placed, so editing outlines it where the design put it.
            const stPixelRect& r = DllPanel().lcdDraw.layout.lcdRect;
            if (r.right > r.left && r.bottom > r.top) {
                EditorMode().lcdPlaced = 1;
                EditorState().placedLcdRect = r;
            }
            return;
        }
        Trace(DllPanel().monitor, "Die angegebene Datei %s wurde nicht gefunden\n", settings.fileCfg);
    }
    SendMessageA(window, WM_COMMAND, CMD_NEW_DESIGN, 0);
}

void ShowReadDesign(HWND window) {
    stFrontPlate& plate = DllPanel().design.plate;
    if (!plate.image && (!ImportPlate(DllPanel().heap, DllPanel().design.plate, DllPanel().design.paths.frontPlatePath) || !plate.image)) {
        MessageBoxA(window, "Fehler beim Laden der Design-Datei", "ORPpanel", MB_OK);
        return;
    }
    BuildPlate(DllPanel().design.plate, DllPanel().design.scale, DllPanel().monitor, window);
    InvalidateRect(window, nullptr, TRUE);
    ResizeToPanel(window, 0);
    UpdateWindow(window);
}
