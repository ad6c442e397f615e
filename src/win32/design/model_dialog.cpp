// The front panel model dialog (120 German, 154 English): the model values, the capability
// bits, the front plate's physical size and, with an LCD in the design, its position and
// tooltip. Changes are collected with a change mask and stored only at OK.
#include <string>

#include "common/alloc.h"
#include "common/options.h"
#include "design/dialog_fields.h"
#include "design/dialog_values.h"
#include "design/editor_input.h"
#include "design/editor_state.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/property_dialog.h"
#include "editor_ids.h"
#include "lcd/lcd_draw.h"
#include "api/dll_panel.h"
#include "design/design_document.h"
#include "ui/window_registry.h"
#include "ui/dialog_box.h"

namespace {

// Change-mask bits: which groups of controls OK stores.
enum : uint32_t { kModelLcdPosition = 1, kModelLcdTooltip = 2, kModelValues = 4, kModelPlateSize = 8, kModelOptions = 16 };

struct stModelDialog {
    bool initialising;
    uint32_t mask;
    int lcdX, lcdY;
    stModelValues values;
    int32_t widthUm, heightUm;
    uint32_t options;
    COLORREF colours[3];
    HBRUSH brushes[3];
};
stModelDialog g_model;

// The fields are read through a buffer of 2600 characters, the terminator included.
constexpr int kFieldMax = 2599;
std::string ItemText(HWND dialog, int id) { return DialogItemText(dialog, id, kFieldMax); }
int ItemNumber(HWND dialog, int id) { return DialogItemNumber(dialog, id, kFieldMax); }

void ShowLcd(HWND dialog, const stLcdType* type) {
    g_model.lcdX = DllPanel().lcdDraw.layout.lcdRect.left;
    g_model.lcdY = DllPanel().lcdDraw.layout.lcdRect.top;
    SetDlgItemTextA(dialog, IDC_LCD_NAME, type->name ? type->name : "");
    SendDlgItemMessageA(dialog, IDC_OBJ_TOOLTIP, EM_LIMITTEXT, 2599, 0);
    SetDlgItemTextA(dialog, IDC_OBJ_TOOLTIP, type->tooltip ? type->tooltip : "");
    SetDialogNumber(dialog, IDC_LCD_CHARS, type->metrics.characters);
    SetDialogNumber(dialog, IDC_LCD_LINES, type->metrics.lines);
    SetDlgItemTextA(dialog, IDC_OBJ_WIDTH, WholeMillimetresText(type->metrics.width).c_str());
    SetDlgItemTextA(dialog, IDC_OBJ_HEIGHT, WholeMillimetresText(type->metrics.height).c_str());
    SetDialogNumber(dialog, IDC_OBJ_X, g_model.lcdX);
    SetDialogNumber(dialog, IDC_OBJ_Y, g_model.lcdY);
    g_model.colours[0] = type->colours.backlightOn;
    g_model.colours[1] = type->colours.backlightOff;
    g_model.colours[2] = type->colours.dot;
    for (int i = 0; i < 3; ++i) g_model.brushes[i] = CreateSolidBrush(g_model.colours[i]);
}

void OnInit(HWND dialog) {
    g_model = stModelDialog{};
    g_model.initialising = true;
    if (const stLcdType* type = CurrentLcdType(DllPanel().lcdDraw)) {
        ShowLcd(dialog, type);
    } else {
        for (int id : {IDC_OBJ_X, IDC_OBJ_Y, IDC_OBJ_TOOLTIP}) EnableWindow(GetDlgItem(dialog, id), FALSE);
    }
    const stPanelModel& model = DllPanel().design.model;
    g_model.values = stModelValues{model.model, model.type, model.bufferSize, model.keyCount, model.ledCount};
    SetDialogNumber(dialog, IDC_MODEL_MODEL, model.model);
    SetDialogNumber(dialog, IDC_MODEL_TYPE, model.type);
    SetDialogNumber(dialog, IDC_MODEL_BUFFER, model.bufferSize);
    SetDialogNumber(dialog, IDC_MODEL_KEYS, model.keyCount);
    SetDialogNumber(dialog, IDC_MODEL_LEDS, model.ledCount);
    g_model.options = model.options;
    for (int bit = 0; bit < 6; ++bit)
        CheckDlgButton(dialog, IDC_MODEL_OPTION0 + bit, (model.options >> bit) & 1 ? BST_CHECKED : BST_UNCHECKED);
    const stFrontPlate& plate = DllPanel().design.plate;
    g_model.widthUm = plate.widthUm;
    g_model.heightUm = plate.heightUm;
    SetDlgItemTextA(dialog, IDC_PLATE_WIDTH, MicrometresText(plate.widthUm).c_str());
    SetDlgItemTextA(dialog, IDC_PLATE_HEIGHT, MicrometresText(plate.heightUm).c_str());
    g_model.initialising = false;
}

void OnEditChange(HWND dialog, int id) {
    stModelDialog& m = g_model;
    switch (id) {
    case IDC_OBJ_X: m.lcdX = ItemNumber(dialog, id); m.mask |= kModelLcdPosition; break;
    case IDC_OBJ_Y: m.lcdY = ItemNumber(dialog, id); m.mask |= kModelLcdPosition; break;
    case IDC_OBJ_TOOLTIP: m.mask |= kModelLcdTooltip; break;
    case IDC_MODEL_MODEL: m.values.model = ItemNumber(dialog, id); m.mask |= kModelValues; break;
    case IDC_MODEL_TYPE: m.values.type = ItemNumber(dialog, id); m.mask |= kModelValues; break;
    case IDC_MODEL_BUFFER: m.values.bufferSize = ItemNumber(dialog, id); m.mask |= kModelValues; break;
    case IDC_MODEL_KEYS: m.values.keyCount = ItemNumber(dialog, id); m.mask |= kModelValues; break;
    case IDC_MODEL_LEDS: m.values.ledCount = ItemNumber(dialog, id); m.mask |= kModelValues; break;
    case IDC_PLATE_WIDTH:
        m.widthUm = MillimetresToMicrometres(ItemText(dialog, id).c_str());
        m.mask |= kModelPlateSize;
        break;
    case IDC_PLATE_HEIGHT:
        m.heightUm = MillimetresToMicrometres(ItemText(dialog, id).c_str());
        m.mask |= kModelPlateSize;
        break;
    default: break;
    }
}

void InvalidateLcd(HWND main) {
    const stPixelRect& r = DllPanel().lcdDraw.layout.lcdRect;
    RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(main, &rect, TRUE);
}

void OnOk(HWND dialog) {
    stModelDialog& m = g_model;
    stLcdType* type = CurrentLcdType(DllPanel().lcdDraw);
    HWND main = GetParent(dialog);
    if ((m.mask & kModelLcdPosition) && type) {
        InvalidateLcd(main);
        PlaceLcd(DllPanel().design.scale, DllPanel().lcd, DllPanel().lcdDraw.layout, m.lcdX, m.lcdY, type, &DllPanel().lcdDraw.layout.lcdRect, kPlaceAll);
        EditorState().placedLcdRect = DllPanel().lcdDraw.layout.lcdRect;
        LcdInvalidateCells(DllPanel().lcdDraw);
        InvalidateLcd(main);
    }
    if ((m.mask & kModelLcdTooltip) && type) {
        if (char* tooltip = OrpStrDup(DllPanel().heap, ItemText(dialog, IDC_OBJ_TOOLTIP).c_str())) {
            OrpFree(type->tooltip);
            type->tooltip = tooltip;
        }
    }
    if (m.mask & kModelValues) StoreModelValues(&DllPanel().design.model, m.values);
    if (m.mask & kModelPlateSize) {
        DllPanel().design.plate.widthUm = m.widthUm;
        DllPanel().design.plate.heightUm = m.heightUm;
    }
    if (m.mask & kModelOptions) DllPanel().design.model.options = m.options;
    m.mask = 0;
    DeleteBrushes(g_model.brushes);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK ModelDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int index = static_cast<int>(item->CtlID) - IDC_COLOUR_ON;
        if (index >= 0 && index < 3 && g_model.brushes[index])
            PaintColourButton(item, g_model.brushes[index], g_model.colours[index]);
        else
            FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (g_model.initialising) return TRUE;
        if (HIWORD(wParam) == EN_CHANGE) {
            OnEditChange(dialog, id);
            return TRUE;
        }
        if (id >= IDC_MODEL_OPTION0 && id < IDC_MODEL_OPTION0 + 6) {
            const uint32_t bit = 1u << (id - IDC_MODEL_OPTION0);
            if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
                g_model.options |= bit;
            else
                g_model.options &= ~bit;
            g_model.mask |= kModelOptions;
            return TRUE;
        }
        if (id == IDOK) {
            OnOk(dialog);
        } else if (id == IDCANCEL) {
            g_model.mask = 0;
            DeleteBrushes(g_model.brushes);
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

void OpenModelDialog(HWND window) {
    INT_PTR result = RunDialogInLanguage(window, IDD_MODEL_EN, IDD_MODEL_DE, ModelDialogProc);
    if (result == IDOK) DesignDocument().modified = 1;
}
