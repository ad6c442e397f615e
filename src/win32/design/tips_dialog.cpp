// The operating tips dialog (128 German, 158 English): adds and deletes tips of the design and
// sets their interval. Changes take effect at once, whichever button ends the dialog.
#include <string>

#include "common/alloc.h"
#include "common/options.h"
#include "design/dialog_values.h"
#include "design/editor_input.h"
#include "editor_ids.h"
#include "design/design_document.h"
#include "ui/window_registry.h"
#include "ui/panel_input.h"
#include "api/dll_panel.h"
#include "ui/dialog_box.h"

namespace {

struct stTipsDialog {
    bool initialising;
    bool changed;
    stObjList* tips;
};
stTipsDialog g_tips;

void OnInit(HWND dialog, stObjList* tips) {
    g_tips = stTipsDialog{true, false, tips};
    HWND box = GetDlgItem(dialog, IDC_TIP_LIST);
    int number = 1;
    for (stListNode* node = tips->first; node; node = node->next, ++number) {
        std::string line = TipListLine(number, static_cast<stTextItem*>(node->item)->text);
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SetDlgItemTextA(dialog, IDC_TIP_INTERVAL, TipIntervalText(DllPanel().design.model.tipInterval).c_str());
    g_tips.initialising = false;
}

void AddTip(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_TIP_TEXT);
    const int length = GetWindowTextLengthA(edit);
    if (length <= 0) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(edit, &text[0], length + 1);
    text.resize(lstrlenA(text.c_str()));
    stTextItem* item = NewTextItem(DllPanel().heap, text.data(), static_cast<uint32_t>(text.size()));
    if (!item) return;
    int appended;
    {
        ListLockGuard guard(DllPanel().design.listLock);
        appended = AppendItem(g_tips.tips, item);
    }
    if (!appended) {
        OrpFree(item->text);
        OrpFree(item);
        return;
    }
    SendDlgItemMessageA(dialog, IDC_TIP_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SetWindowTextA(edit, "");
    g_tips.changed = true;
}

void DeleteTip(HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_TIP_LIST);
    const LRESULT selected = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    stListNode* node = g_tips.tips->first;
    for (LRESULT i = 0; node && i < selected; ++i) node = node->next;
    if (!node) return;
    {
        ListLockGuard guard(DllPanel().design.listLock);
        RemoveTextItem(g_tips.tips, static_cast<stTextItem*>(node->item));
    }
    SendMessageA(box, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    g_tips.changed = true;
}

INT_PTR CALLBACK TipsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInit(dialog, reinterpret_cast<stObjList*>(lParam));
        return TRUE;
    }
    if (message != WM_COMMAND || g_tips.initialising) return FALSE;
    const int id = LOWORD(wParam);
    switch (id) {
    case IDC_TIP_INTERVAL:
        if (HIWORD(wParam) == EN_CHANGE) {
            char text[16] = {};
            GetDlgItemTextA(dialog, IDC_TIP_INTERVAL, text, sizeof text);
            DllPanel().design.model.tipInterval = TipIntervalFromSeconds(ParseDialogNumber(text));
            g_tips.changed = true;
        }
        return TRUE;
    case IDC_TIP_ADD:
        AddTip(dialog);
        return TRUE;
    case IDC_TIP_DELETE:
        DeleteTip(dialog);
        return TRUE;
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, id);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void OpenTipsDialog(HWND window) {
    stDesign& lists = DllPanel().design;
    {
        ListLockGuard guard(DllPanel().design.listLock);
        if (!lists.tips) lists.tips = NewObjList(DllPanel().heap);
    }
    if (!lists.tips) return;
    const INT_PTR result = RunDialogInLanguage(window, IDD_TIPS_EN, IDD_TIPS_DE, TipsDialogProc,
                                           reinterpret_cast<LPARAM>(lists.tips));
    // Added and deleted tips stay whichever button ended the dialog, so either counts as a change.
    if (result != IDOK && !g_tips.changed) return;
    DesignDocument().modified = 1;
    RestartTipTimer(window);
}
