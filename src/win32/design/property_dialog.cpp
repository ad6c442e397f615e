// The key and LED property dialog. Edits are collected in an stPropertyEdit (change mask and
// working values) and reach the object only at OK, through the core's ApplyPropertyEdit; Cancel
// leaves the object as it was. The LED dialog's colour buttons are owner-drawn in their colours.
#include "design/property_dialog.h"

#include <string>

#include "common/options.h"
#include "design/dialog_fields.h"
#include "design/dialog_values.h"
#include "design/property_edit.h"
#include "editor_ids.h"
#include "ui/window_registry.h"
#include "api/dll_panel.h"

namespace {

struct stPropDialog {
    stPropRequest* request;
    stPropertyEdit edit;
    bool initialising;
    bool wasMulticolour;
    int proposedSecond;
    HBRUSH brushes[4];
    std::string name, tooltip;
};
stPropDialog g_dlg;

COLORREF g_customColours[16];  // the colour chooser's custom colours, kept for the process

constexpr int kColourButtons[4] = {IDC_COLOUR_ON, IDC_COLOUR_OFF, IDC_COLOUR2_ON, IDC_COLOUR2_OFF};
constexpr uint32_t kColourBits[4] = {PROP_COLOUR_ON, PROP_COLOUR_OFF, PROP_SECOND_COLOUR_ON, PROP_SECOND_COLOUR_OFF};


void SetBrush(int index, COLORREF colour) {
    if (g_dlg.brushes[index]) DeleteObject(g_dlg.brushes[index]);
    g_dlg.brushes[index] = CreateSolidBrush(colour);
}

void OnInit(HWND dialog, stPropRequest* request) {
    g_dlg.initialising = true;
    g_dlg.request = request;
    stPanelObject* object = request->object;
    const bool led = IsLedDialog(request->dialogId);
    InitPropertyEdit(&g_dlg.edit, object, led);
    g_dlg.edit.mask = 0;
    g_dlg.wasMulticolour = led && object->multicolour;

    SetDialogNumber(dialog, IDC_OBJ_ID, request->existing ? object->id() : NextFreeId(request->list, 0));
    SendDlgItemMessageA(dialog, IDC_OBJ_NAME, EM_LIMITTEXT, kPropNameMax, 0);
    SetDlgItemTextA(dialog, IDC_OBJ_NAME, object->name ? object->name : "n/a");
    SetDlgItemTextA(dialog, IDC_OBJ_TOOLTIP, object->tooltip ? object->tooltip : "n/a");
    if (!object->name) g_dlg.edit.mask |= PROP_NAME;
    if (!object->tooltip) g_dlg.edit.mask |= PROP_TOOLTIP;

    const stPropertyEdit& e = g_dlg.edit;
    if (!led) {
        SetDialogNumber(dialog, IDC_OBJ_WIDTH, e.width);
        SetDialogNumber(dialog, IDC_OBJ_HEIGHT, e.height);
        SetDialogNumber(dialog, IDC_OBJ_X, e.x);
        SetDialogNumber(dialog, IDC_OBJ_Y, e.y);
    } else {
        SetDialogNumber(dialog, IDC_OBJ_RADIUS, e.radius);
        SetDialogNumber(dialog, IDC_OBJ_X, e.x);
        SetDialogNumber(dialog, IDC_OBJ_Y, e.y);
        for (int i = 0; i < 4; ++i) SetBrush(i, e.colours[i]);
        int shown = request->existing && object->second ? object->second->id() : 0;
        ShowMulticolour(dialog, object->multicolour != 0, shown);
    }
    EnableWindow(GetDlgItem(dialog, IDC_DELETE), TRUE);
    int start = request->existing && object->multicolour && object->second ? object->second->id() : 0;
    g_dlg.proposedSecond = NextFreeId(request->list, start);
    g_dlg.initialising = false;
}

void ChooseColour(HWND dialog, int index) {
    COLORREF colour = g_dlg.edit.colours[index];
    if (!ChooseLedColour(dialog, &colour)) return;
    g_dlg.edit.colours[index] = colour;
    SetBrush(index, colour);
    g_dlg.edit.mask |= kColourBits[index];
    InvalidateRect(dialog, nullptr, TRUE);
}

void OnMulticolourBox(HWND dialog) {
    bool on = IsDlgButtonChecked(dialog, IDC_MULTICOLOUR) == BST_CHECKED;
    if (g_dlg.wasMulticolour) {
        // Unticking frees the half at OK; ticking again keeps the half the LED has.
        if (on)
            g_dlg.edit.mask &= ~PROP_DROP_SECOND;
        else
            g_dlg.edit.mask |= PROP_DROP_SECOND;
    }
    int proposed = g_dlg.proposedSecond;
    // A new LED takes the lowest free identifier itself: propose the next one for its half.
    if (!g_dlg.wasMulticolour && proposed == DialogItemNumber(dialog, IDC_OBJ_ID))
        proposed = NextFreeId(g_dlg.request->list, proposed + 1);
    ShowMulticolour(dialog, on, g_dlg.wasMulticolour ? DialogItemNumber(dialog, IDC_OBJ_ID2) : proposed);
}

void OnEditChange(HWND dialog, int id) {
    stPropertyEdit& e = g_dlg.edit;
    switch (id) {
    case IDC_OBJ_NAME: e.mask |= PROP_NAME; break;
    case IDC_OBJ_TOOLTIP: e.mask |= PROP_TOOLTIP; break;
    case IDC_OBJ_ID: e.mask |= PROP_ID; break;
    case IDC_OBJ_ID2: e.mask |= PROP_SECOND_ID; break;
    case IDC_OBJ_WIDTH: e.mask |= PROP_GEOMETRY; e.width = DialogItemNumber(dialog, id); break;
    case IDC_OBJ_HEIGHT: e.mask |= PROP_GEOMETRY; e.height = DialogItemNumber(dialog, id); break;
    case IDC_OBJ_X: e.mask |= PROP_GEOMETRY; e.x = DialogItemNumber(dialog, id); break;
    case IDC_OBJ_Y: e.mask |= PROP_GEOMETRY; e.y = DialogItemNumber(dialog, id); break;
    case IDC_OBJ_RADIUS: e.mask |= PROP_GEOMETRY; e.radius = DialogItemNumber(dialog, id); break;
    default: break;
    }
}

void OnOk(HWND dialog) {
    stPropertyEdit& e = g_dlg.edit;
    g_dlg.name = DialogItemText(dialog, IDC_OBJ_NAME);
    g_dlg.tooltip = DialogItemText(dialog, IDC_OBJ_TOOLTIP);
    e.name = g_dlg.name.c_str();
    e.tooltip = g_dlg.tooltip.c_str();
    e.id = DialogItemNumber(dialog, IDC_OBJ_ID);
    if (e.led) {
        e.secondId = DialogItemNumber(dialog, IDC_OBJ_ID2);
        e.x = DialogItemNumber(dialog, IDC_OBJ_X);
        e.y = DialogItemNumber(dialog, IDC_OBJ_Y);
        e.multicolourBox = IsDlgButtonChecked(dialog, IDC_MULTICOLOUR) == BST_CHECKED;
    }
    PropApplyResult result;
    {
        ListLockGuard guard(DllPanel().design.listLock);
        result = ApplyPropertyEdit(DllPanel().design, g_dlg.request->object, &e);
    }
    if (result != kPropApplied) {
        MessageBoxA(dialog, "Bitte die ID im Bereich von 0-255 angeben", "Eigenschaften", MB_OK | MB_ICONINFORMATION);
        return;
    }
    DeleteBrushes(g_dlg.brushes);
    EndDialog(dialog, kPropOk);
}

INT_PTR CALLBACK PropertyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, reinterpret_cast<stPropRequest*>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        for (int i = 0; i < 4; ++i)
            if (static_cast<int>(item->CtlID) == kColourButtons[i] && g_dlg.brushes[i])
                PaintColourButton(item, g_dlg.brushes[i], g_dlg.edit.colours[i]);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (g_dlg.initialising) return TRUE;
        if (code == EN_CHANGE) {
            OnEditChange(dialog, id);
            return TRUE;
        }
        switch (id) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            DeleteBrushes(g_dlg.brushes);
            EndDialog(dialog, kPropCancelled);
            return TRUE;
        case IDC_DELETE:
            DeletePanelObject(DllPanel().design, g_dlg.request->list, g_dlg.request->object);
            DeleteBrushes(g_dlg.brushes);
            EndDialog(dialog, kPropDeleted);
            return TRUE;
        case IDC_MULTICOLOUR:
            OnMulticolourBox(dialog);
            return TRUE;
        default:
            for (int i = 0; i < 4; ++i)
                if (id == kColourButtons[i] && code == BN_CLICKED) ChooseColour(dialog, i);
            return TRUE;
        }
    }
    default:
        return FALSE;
    }
}

}  // namespace

int32_t KeyDialogId() { return EnglishUi(DllPanel().options) ? IDD_KEY_EN : IDD_KEY_DE; }
int32_t LedDialogId() { return EnglishUi(DllPanel().options) ? IDD_LED_EN : IDD_LED_DE; }

INT_PTR RunPropertyDialog(HWND owner, stPropRequest* request) {
    return DialogBoxParamA(Windows().hInstance, MAKEINTRESOURCEA(request->dialogId), owner, PropertyDialogProc,
                           reinterpret_cast<LPARAM>(request));
}

int ChooseLedColour(HWND owner, COLORREF* colour) {
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = *colour;
    choose.lpCustColors = g_customColours;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&choose)) return 0;
    *colour = choose.rgbResult;
    return 1;
}

void ShowMulticolour(HWND dialog, bool on, int proposed) {
    CheckDlgButton(dialog, IDC_MULTICOLOUR, on ? BST_CHECKED : BST_UNCHECKED);
    for (int id : {IDC_OBJ_ID2, IDC_COLOUR2_ON, IDC_COLOUR2_OFF, IDC_ID2_LABEL, IDC_SECOND_GROUP})
        ShowWindow(GetDlgItem(dialog, id), on ? SW_SHOW : SW_HIDE);
    if (on) SetDialogNumber(dialog, IDC_OBJ_ID2, proposed);
}

void PaintColourButton(const DRAWITEMSTRUCT* item, HBRUSH brush, COLORREF colour) {
    RECT rect = item->rcItem;
    FillRect(item->hDC, &rect, brush);
    DrawEdge(item->hDC, &rect, (item->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    char text[64] = {};
    GetWindowTextA(item->hwndItem, text, sizeof text);
    const int luminance = GetRValue(colour) * 3 + GetGValue(colour) * 6 + GetBValue(colour);
    SetTextColor(item->hDC, luminance > 1280 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    SetBkMode(item->hDC, TRANSPARENT);
    DrawTextA(item->hDC, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item->itemState & ODS_FOCUS) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(item->hDC, &rect);
    }
}
