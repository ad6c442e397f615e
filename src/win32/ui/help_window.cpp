// The context help pop-up and the help commands.
//
// The pop-up is one hidden window made at start-up and moved to the cursor for each text: a
// set-text message carries the screen point in its first parameter and the text in its
// second. The pop-up keeps a copy of the text, so a design load that empties the help-line
// list while the pop-up is shown cannot leave it painting freed memory.
//
// The About box and the questions exist in German and English under the same ids; they are
// picked by the panel's language option, not by the system's language.
#include "ui/help_window.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "common/options.h"
#include "design/context_help_query.h"
#include "design/file_dialogs.h"
#include "design/help_popup_layout.h"
#include "design/object_model.h"
#include "help_ids.h"
#include "monitor/trace.h"
#include "settings/registry_settings.h"
#include "settings/settings.h"
#include "design/editor_state.h"
#include "ui/window_registry.h"
#include "ui/language_resources.h"
#include "api/dll_panel.h"
#include "ui/dialog_box.h"

static_assert(IDS_ASK_HELP_FILE == kAskForHelpFile && IDS_ASK_CONTEXT_ENTRY == kAskForContextHelpEntry &&
                  IDS_ASK_CONTEXT_FILE == kAskForContextHelpFile,
              "question ids of the resources and the core agree");

namespace {

constexpr COLORREF kPopupColour = RGB(255, 255, 160);
constexpr int kTextMargin = 3;

struct stHelpPopupState {
    std::string text;
    stHelpPopupMetrics metrics;
};
stHelpPopupState g_popup{};

HFONT PopupFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void MeasurePopupFont(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, PopupFont());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    stHelpPopupMetrics& m = g_popup.metrics;
    m.lineHeight = tm.tmHeight + tm.tmExternalLeading;
    m.charWidth = tm.tmAveCharWidth;
    // TMPF_FIXED_PITCH set means a variable-pitch font.
    m.capitalWidth = HelpCapitalWidth(tm.tmAveCharWidth, (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0);
    m.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m.screenHeight = GetSystemMetrics(SM_CYSCREEN);
}

void ShowText(HWND window, WPARAM point, const char* text) {
    g_popup.text = text ? text : "";
    int x = static_cast<short>(LOWORD(point));
    int y = static_cast<short>(HIWORD(point));
    stHelpPopupRect r = HelpPopupRect(g_popup.metrics, static_cast<uint32_t>(g_popup.text.size()), x, y);
    SetWindowPos(window, HWND_TOP, r.left, r.top, r.width, r.height, SWP_SHOWWINDOW);
    InvalidateRect(window, nullptr, TRUE);
}

void PaintPopup(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(kPopupColour);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);

    HGDIOBJ oldFont = SelectObject(dc, PopupFont());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT text{client.left + kTextMargin, client.top + kTextMargin, client.right - kTextMargin,
              client.bottom - kTextMargin};
    DrawTextA(dc, g_popup.text.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

LRESULT CALLBACK HelpPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        MeasurePopupFont(window);
        return 0;
    case WM_SETTEXT:
        // The window keeps its own title; the text is what it shows.
        ShowText(window, wParam, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_PAINT:
        PaintPopup(window);
        return 0;
    case WM_LBUTTONDOWN:
        HideHelpPopup();
        return 0;
    case WM_CHAR:
        if (wParam == VK_ESCAPE) HideHelpPopup();
        return 0;
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        return 0;
    case WM_SIZE:
    case WM_SETFOCUS:
    case WM_COMMAND:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void OpenDocument(HWND owner, const char* path) {
    // A path that no longer exists is handed over all the same; the shell's failure is not
    // reported.
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "open";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

// The object under the cursor, LEDs before keys: its kind and name, or kind 0.
int32_t ObjectAt(POINT client, std::string* name) {
    ListLockGuard guard(DllPanel().design.listLock);
    stPanelObject* object = FindLedAt(DllPanel().design.leds, client.x, client.y);
    if (!object) object = FindKeyAt(DllPanel().design.keys, client.x, client.y);
    if (!object) return 0;
    *name = object->name ? object->name : "";
    return object->kind;
}

}  // namespace

HWND CreateHelpPopup(HWND main, HINSTANCE instance) {
    RegisterPanelWindowClass(WNDCLASSEXA{}, instance, HelpPopupProc, kHelpWindowClass);
    HWND popup = CreateWindowExA(0, kHelpWindowClass, "Hilfe zu OrPpanel", WS_POPUP, 0, 0, 0, 0, main, nullptr,
                                 instance, nullptr);
    Windows().hwndHelp = popup;
    return popup;
}

void RemoveHelpPopupClass(HINSTANCE instance) {
    HWND popup = Windows().hwndHelp;
    Windows().hwndHelp = nullptr;
    if (popup && IsWindow(popup)) DestroyWindow(popup);
    g_popup.text.clear();
    UnregisterClassA(kHelpWindowClass, instance);
}

bool HideHelpPopup() {
    HWND popup = Windows().hwndHelp;
    if (!popup || !IsWindowVisible(popup)) return false;
    ShowWindow(popup, SW_HIDE);
    return true;
}

void HelpPopupCharacter(HWND) {
    if (EditorMode().panelMode == 0) HideHelpPopup();
}

void HelpKeyF1(HWND window) {
    // Where the cursor was when F1 was released, not where it is by the time the message is
    // handled.
    const DWORD at = GetMessagePos();
    POINT screen{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    POINT client = screen;
    ScreenToClient(window, &client);
    std::string name;
    int32_t kind = ObjectAt(client, &name);
    if (!kind) {
        OpenHelpFile(window);
        return;
    }
    stContextHelp help{};
    int question = FindContextHelp(DllPanel().design, DllPanel().settings.contextHelpFile, kind, name.c_str(), &help);
    if (question) {
        AskForHelpFile(window, question);
        return;
    }
    if (Windows().hwndHelp)
        SendMessageA(Windows().hwndHelp, WM_SETTEXT, MAKEWPARAM(screen.x, screen.y),
                     reinterpret_cast<LPARAM>(help.text));
}

bool AskForHelpFile(HWND owner, int question) {
    stSettings& settings = DllPanel().settings;
    char format[512] = {};
    LoadStringInLanguage(Windows().hInstance, static_cast<UINT>(question), EnglishUi(DllPanel().options), format, sizeof format);
    char text[sizeof format + kSettingsPathSize];
    if (question == kAskForContextHelpEntry)
        std::snprintf(text, sizeof text, format, settings.contextHelpFile);
    else
        std::snprintf(text, sizeof text, "%s", format);
    if (MessageBoxA(owner, text, "ORPpanel", MB_ICONINFORMATION | MB_YESNO) != IDYES) return false;

    char path[MAX_PATH] = {};
    if (!RunFileDialog(4, false, owner, path)) {
        Trace(DllPanel().monitor, "GetLastError() %d\r\n", static_cast<int>(GetLastError()));
        return false;
    }
    if (question == kAskForHelpFile) {
        lstrcpynA(settings.helpFile, path, kSettingsPathSize);
        DllPanel().platform->WriteStoredSettings(DllPanel().settings);
        OpenDocument(owner, settings.helpFile);
    } else {
        lstrcpynA(settings.contextHelpFile, path, kSettingsPathSize);
        DllPanel().platform->WriteStoredSettings(DllPanel().settings);
        ForgetContextHelp(DllPanel().design);
    }
    return true;
}

void OpenHelpFile(HWND window) {
    if (DllPanel().settings.helpFile[0])
        OpenDocument(window, DllPanel().settings.helpFile);
    else
        AskForHelpFile(window, kAskForHelpFile);
}

void OpenAboutBox(HWND window) {
    const DLGTEMPLATE* dialog = DialogTemplateInLanguage(Windows().hInstance, IDD_ABOUT, EnglishUi(DllPanel().options));
    if (dialog)
        DialogBoxIndirectParamA(Windows().hInstance, dialog, window, AboutProc, 0);
    else
        DialogBoxParamA(Windows().hInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutProc, 0);
}
