// The LCD control panel dialog. Every control builds its panel message with lcd/control_panel.h
// and injects it as if the host had sent it: the dispatcher applies it to the controller, the
// monitor shows it and an open link passes it to the target. The dialog reads the controller
// only to fill in the bits a control leaves alone and to set its controls.
//
// The dialog is modal and has no owner, so the main window stays usable while it is open; the
// main window keeps its handle in hwndLcdPanel (the function keys and a second open use it).
#include "lcd/lcd_control_panel.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "common/options.h"
#include "design/lcd_geometry.h"
#include "lcd/control_panel.h"
#include "lcd/controller.h"
#include "lcd/font_table_window.h"
#include "lcd/lcd_draw.h"
#include "lcdpanel_ids.h"
#include "api/dll_panel.h"
#include "protocol/host_link.h"
#include "settings/settings.h"
#include "ui/dialog_box.h"
#include "ui/window_registry.h"

namespace {

constexpr int kTallRowsFirstDot = IDC_LCD_DOT_FIRST + 5 * 8;  // rows 8-10 exist only in 5x11
constexpr UINT kFunctionKeyCommandBase = 32673;

void Send(const stPanelMessage& message) {
    if (message.length <= 0) return;
    InjectPanelMessage(message, [](const uint8_t* bytes, int length) {
        return InjectCommand(DllPanel().protocol, bytes, length);
    });
    // Data written from the text field may define characters too: a shown table follows.
    HWND table = Windows().hwndFontTable;
    if (table && IsWindowVisible(table) && (message.bytes[0] == 'W' || message.bytes[0] == 'P'))
        RepaintFontTableWindow(table);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

void FillCharacterList(HWND dialog, bool pairs) {
    DllPanel().lcdPanel.pairList = pairs;
    HWND list = GetDlgItem(dialog, IDC_LCD_CHARACTER_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < CharacterListSize(pairs); ++i) {
        char text[4];
        CharacterListEntry(i, pairs, text);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void EnableTallRows(HWND dialog, bool enable) {
    for (int id = kTallRowsFirstDot; id <= IDC_LCD_DOT_LAST; ++id) EnableWindow(GetDlgItem(dialog, id), enable);
}

void ShowSlider(HWND dialog, int id, uint8_t value) {
    SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, SliderPositionOf(value));
}

uint8_t* SliderValue(int id) {
    stLcdPanelState& state = DllPanel().lcdPanel;
    switch (id) {
    case IDC_LCD_BACKLIGHT:
        return &state.backlight;
    case IDC_LCD_LEDS:
        return &state.ledBrightness;
    case IDC_LCD_CONTRAST:
        return &state.contrast;
    default:
        return nullptr;
    }
}

void SetUpSliders(HWND dialog) {
    ResetLcdPanelSliders(DllPanel().lcdPanel);
    for (int id : {IDC_LCD_BACKLIGHT, IDC_LCD_LEDS, IDC_LCD_CONTRAST}) {
        SendDlgItemMessageA(dialog, id, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
        SendDlgItemMessageA(dialog, id, TBM_SETLINESIZE, 0, 1);
        SendDlgItemMessageA(dialog, id, TBM_SETPAGESIZE, 0, 16);
        ShowSlider(dialog, id, *SliderValue(id));
    }
}

// Check boxes, radio buttons, the character list and the tall grid rows from the controller.
void SetControlsFromController(HWND dialog) {
    const LcdController& c = DllPanel().lcd;
    Check(dialog, IDC_LCD_DISPLAY_ON, c.displayOn);
    Check(dialog, IDC_LCD_CURSOR_ON, c.cursorOn);
    Check(dialog, IDC_LCD_BLINK_ON, c.blinkOn);
    Check(dialog, IDC_LCD_SHIFT_ON_WRITE, c.shiftOnWrite);
    FillCharacterList(dialog, c.font != 1);
    EnableTallRows(dialog, c.font == 2);
    Check(dialog, IDC_LCD_ONE_LINE, c.lines == 1);
    Check(dialog, IDC_LCD_TWO_LINES, c.lines != 1);
    Check(dialog, IDC_LCD_LEFT_TO_RIGHT, c.increment);
    Check(dialog, IDC_LCD_RIGHT_TO_LEFT, !c.increment);
    const bool display = DllPanel().lcdPanel.shiftTarget == ShiftTarget::kDisplay;
    Check(dialog, IDC_LCD_SHIFT_CURSOR, !display);
    Check(dialog, IDC_LCD_SHIFT_DISPLAY, display);
}

void OnInitDialog(HWND dialog) {
    Windows().hwndLcdPanel = dialog;
    SetUpSliders(dialog);
    SetControlsFromController(dialog);
    SendDlgItemMessageA(dialog, IDC_LCD_TEXT, EM_LIMITTEXT, kPanelFieldMax, 0);
    SendDlgItemMessageA(dialog, IDC_LCD_COMMANDS, EM_LIMITTEXT, kPanelFieldMax, 0);
    // Without a font table window (not asked for in the options) its button has nothing to show.
    EnableWindow(GetDlgItem(dialog, IDC_LCD_FONT_TABLE), Windows().hwndFontTable != nullptr);
}

int FieldText(HWND dialog, int id, char (&text)[kPanelFieldMax + 1]) {
    return GetDlgItemTextA(dialog, id, text, sizeof text);
}

void ChooseFont(HWND dialog, bool oneLine5x11) {
    EnableTallRows(dialog, oneLine5x11);
    FillCharacterList(dialog, oneLine5x11);
    LcdInvalidateCells(DllPanel().lcdDraw);
    stPanelMessage m;
    FunctionSetMessage(oneLine5x11, &m);
    Send(m);
}

void AssignCharacter() {
    stPanelMessage m;
    AssignMessage(DllPanel().lcdPanel, DllPanel().lcd.font, &m);
    Send(m);
    RepaintFontTableWindow(Windows().hwndFontTable);
    // Cells that show the character redraw only when invalidated: the cell cache knows codes,
    // not glyphs.
    LcdInvalidateCells(DllPanel().lcdDraw);
    LcdDrawCells(DllPanel().lcdDraw, DllPanel().lcd, LcdDrawHook(DllPanel().lcdDraw));
}

void OpenInstructions(HWND dialog) {
    char path[MAX_PATH + 64];
    std::snprintf(path, sizeof path, "%s%s", DllPanel().settings.wrkDir,
                  EnglishUi(DllPanel().options) ? "\\docs\\LCD Instructions E.pdf" : "\\docs\\LCD Instructions.pdf");
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;  // a missing document gives no message
    info.hwnd = dialog;
    info.lpVerb = "open";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

void OnCommand(HWND dialog, int id, int notification) {
    const LcdController& c = DllPanel().lcd;
    stPanelMessage m{};
    char text[kPanelFieldMax + 1];
    if (id >= IDC_LCD_DOT_FIRST && id <= IDC_LCD_DOT_LAST) {
        const int dot = id - IDC_LCD_DOT_FIRST;
        SetPatternDot(DllPanel().lcdPanel, dot / 5, dot % 5, Checked(dialog, id));
        return;
    }
    if (id == IDC_LCD_CHARACTER_LIST) {
        if (notification != CBN_SELCHANGE) return;
        const int index = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
        CharacterSelectMessage(index, DllPanel().lcdPanel.pairList, &m);
        Send(m);
        return;
    }
    if (notification != BN_CLICKED) return;
    switch (id) {
    case IDC_LCD_DISPLAY_ON:
        DisplayControlMessage(Checked(dialog, id), c.cursorOn, c.blinkOn, &m);
        break;
    case IDC_LCD_CURSOR_ON:
        DisplayControlMessage(c.displayOn, Checked(dialog, id), c.blinkOn, &m);
        break;
    case IDC_LCD_BLINK_ON:
        DisplayControlMessage(c.displayOn, c.cursorOn, Checked(dialog, id), &m);
        break;
    case IDC_LCD_SHIFT_ON_WRITE:
        EntryModeMessage(c.increment, Checked(dialog, id), &m);
        break;
    case IDC_LCD_LEFT_TO_RIGHT:
    case IDC_LCD_RIGHT_TO_LEFT:
        WriteDirectionMessage(DllPanel().lcdPanel, id == IDC_LCD_LEFT_TO_RIGHT, c.shiftOnWrite, &m);
        break;
    case IDC_LCD_ONE_LINE:
    case IDC_LCD_TWO_LINES:
        ChooseFont(dialog, id == IDC_LCD_ONE_LINE);
        return;
    case IDC_LCD_SHIFT_CURSOR:
    case IDC_LCD_SHIFT_DISPLAY:
        DllPanel().lcdPanel.shiftTarget =
            id == IDC_LCD_SHIFT_DISPLAY ? ShiftTarget::kDisplay : ShiftTarget::kCursor;
        return;
    case IDC_LCD_SHIFT_LEFT:
    case IDC_LCD_SHIFT_RIGHT:
        ShiftMessage(id == IDC_LCD_SHIFT_RIGHT, DllPanel().lcdPanel.shiftTarget, &m);
        break;
    case IDC_LCD_CLEAR:
        ClearDisplayMessage(&m);
        break;
    case IDC_LCD_DISPLAY_TEST:
        DisplayTestMessage(&m);
        break;
    case IDC_LCD_RESET:
        ResetMessage(&m);
        Send(m);
        SetControlsFromController(dialog);
        return;
    case IDC_LCD_SEND_TEXT:
        TextMessage(text, FieldText(dialog, IDC_LCD_TEXT, text), &m);
        break;
    case IDC_LCD_SEND_COMMANDS:
        CommandListMessage(text, FieldText(dialog, IDC_LCD_COMMANDS, text), &m);
        break;
    case IDC_LCD_ASSIGN:
        AssignCharacter();
        return;
    case IDC_LCD_FONT_TABLE:
        ToggleFontTableWindow(Windows().hwndFontTable);
        return;
    case IDC_LCD_INSTRUCTIONS:
        OpenInstructions(dialog);
        return;
    case IDC_LCD_SAVE_CONTRAST:
        ContrastMessage(DllPanel().lcdPanel.contrast, true, &m);
        break;
    case IDC_LCD_READ_ADDRESS:
    case IDC_LCD_READ_RAM:
        ReadMessage(id == IDC_LCD_READ_ADDRESS, &m);
        break;
    case IDOK:
        // Enter in one of the two fields sends it, as its Send button would.
        if (GetFocus() == GetDlgItem(dialog, IDC_LCD_TEXT))
            TextMessage(text, FieldText(dialog, IDC_LCD_TEXT, text), &m);
        else if (GetFocus() == GetDlgItem(dialog, IDC_LCD_COMMANDS))
            CommandListMessage(text, FieldText(dialog, IDC_LCD_COMMANDS, text), &m);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return;
    default:
        return;
    }
    Send(m);
}

void OnSlider(HWND dialog, HWND slider, int code, int thumbPosition) {
    const int id = GetDlgCtrlID(slider);
    uint8_t* value = SliderValue(id);
    if (!value) return;
    if (ApplySliderCode(code, thumbPosition, value)) {
        stPanelMessage m;
        if (id == IDC_LCD_BACKLIGHT) BacklightMessage(*value, &m);
        else if (id == IDC_LCD_LEDS) LedBrightnessMessage(*value, &m);
        else ContrastMessage(*value, false, &m);
        Send(m);
    }
    // The thumb shows the value that was sent (the slider's own steps may differ at its ends).
    if (code != kSliderThumbTrack) ShowSlider(dialog, id, *value);
}

INT_PTR CALLBACK LcdPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_VSCROLL:
        OnSlider(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        return TRUE;
    case WM_DESTROY:
        if (Windows().hwndLcdPanel == dialog) Windows().hwndLcdPanel = nullptr;
        return FALSE;
    default:
        return CommandDialogProc<OnInitDialog, OnCommand>(dialog, message, wParam, lParam);
    }
}

// The main loop drops Alt+F4 so that it cannot close the panel window; the dialog's own loop
// does not, so while the dialog runs this filter drops it before the main window sees it.
LRESULT CALLBACK DropAltF4(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4 &&
        msg->hwnd == Windows().hwndMain)
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void OpenLcdControlPanel(HWND) {
    stWindowRegistry& windows = Windows();
    if (HWND open = windows.hwndLcdPanel) {
        if (!IsWindowVisible(open)) ShowWindow(open, SW_SHOW);
        SetForegroundWindow(open);
        SetFocus(open);
        return;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const int resource = EnglishUi(DllPanel().options) ? IDD_LCD_PANEL_ENGLISH : IDD_LCD_PANEL_GERMAN;
    HHOOK filter = SetWindowsHookExA(WH_MSGFILTER, DropAltF4, nullptr, GetCurrentThreadId());
    DialogBoxParamA(windows.hInstance, MAKEINTRESOURCEA(resource), nullptr, LcdPanelProc, 0);
    if (filter) UnhookWindowsHookEx(filter);
}

void LcdPanelFunctionKey(HWND window, WPARAM virtualKey) {
    if (!Windows().hwndLcdPanel) return;
    SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(kFunctionKeyCommandBase + virtualKey), 0);
}
