// The object list (125 German, 155 English): one line per key, an empty line, one line per LED.
// Selecting a line frames its object on the panel in yellow; a double click opens its property
// dialog. A line is matched to its object by the object's search key.
#include <string>

#include "common/options.h"
#include "design/editor_input.h"
#include "design/editor_paint.h"
#include "design/object_lines.h"
#include "design/property_dialog.h"
#include "editor_ids.h"
#include "design/design_document.h"
#include "ui/window_registry.h"
#include "api/dll_panel.h"
#include "ui/dialog_box.h"

namespace {

struct stObjectListDialog {
    bool initialising;
    stPanelObject* highlighted;
};
stObjectListDialog g_list;

void AddLines(HWND box, stObjList* list, bool english) {
    if (!list) return;
    for (stListNode* node = list->first; node; node = node->next) {
        std::string line = ObjectListLine(*static_cast<stPanelObject*>(node->item), english);
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void OnInit(HWND dialog) {
    g_list = stObjectListDialog{};
    g_list.initialising = true;
    HWND box = GetDlgItem(dialog, IDC_OBJECT_LIST);
    const bool english = EnglishUi(DllPanel().options);
    {
        ListLockGuard guard(DllPanel().design.listLock);
        AddLines(box, DllPanel().design.keys, english);
        SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
        AddLines(box, DllPanel().design.leds, english);
    }
    SendMessageA(box, LB_SETHORIZONTALEXTENT, 1600, 0);
    g_list.initialising = false;
}

std::string SelectedLine(HWND box, int* index) {
    *index = static_cast<int>(SendMessageA(box, LB_GETCURSEL, 0, 0));
    if (*index == LB_ERR) return std::string();
    const LRESULT length = SendMessageA(box, LB_GETTEXTLEN, static_cast<WPARAM>(*index), 0);
    if (length == LB_ERR) return std::string();
    std::string line(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(*index), reinterpret_cast<LPARAM>(&line[0]));
    line.resize(static_cast<size_t>(length));
    return line;
}

void Unhighlight(HWND main) {
    if (!g_list.highlighted) return;
    stPixelRect r = g_list.highlighted->pixelRect();
    RECT rect{r.left - 5, r.top - 5, r.right + 5, r.bottom + 5};
    InvalidateRect(main, &rect, TRUE);
    UpdateWindow(main);
    g_list.highlighted = nullptr;
}

void OnSelection(HWND dialog, bool doubleClick) {
    HWND box = GetDlgItem(dialog, IDC_OBJECT_LIST);
    HWND main = GetParent(dialog);
    int index = 0;
    const std::string line = SelectedLine(box, &index);
    if (index == LB_ERR) return;
    const bool english = EnglishUi(DllPanel().options);
    stPropRequest request{};
    if (line.find(ObjectTypePrefix(false, english)) != std::string::npos) {
        request.list = DllPanel().design.keys;
        request.dialogId = KeyDialogId();
    } else if (line.find(ObjectTypePrefix(true, english)) != std::string::npos) {
        request.list = DllPanel().design.leds;
        request.dialogId = LedDialogId();
    } else {
        return;  // the empty line between keys and LEDs
    }
    if (!doubleClick) Unhighlight(main);
    {
        ListLockGuard guard(DllPanel().design.listLock);
        for (stListNode* node = request.list ? request.list->first : nullptr; node; node = node->next) {
            auto* object = static_cast<stPanelObject*>(node->item);
            if (line.find(ObjectSearchKey(*object, english)) != std::string::npos) {
                request.object = object;
                break;
            }
        }
    }
    if (!request.object) return;
    DrawSelectionFrame(main, request.object);
    g_list.highlighted = request.object;
    if (!doubleClick) return;

    request.existing = 1;
    const INT_PTR result = RunPropertyDialog(dialog, &request);
    if (result != kPropOk && result != kPropDeleted) return;
    SendMessageA(box, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (result == kPropOk) {
        std::string updated = ObjectListLine(*request.object, english);
        SendMessageA(box, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(updated.c_str()));
    } else {
        g_list.highlighted = nullptr;  // freed with the deleted object
    }
    DesignDocument().modified = 1;
    InvalidateRect(main, nullptr, TRUE);
}

void OnCommand(HWND dialog, int id, int code) {
    if (id == IDC_OBJECT_LIST && !g_list.initialising) {
        if (code == LBN_SELCHANGE) OnSelection(dialog, false);
        if (code == LBN_DBLCLK) OnSelection(dialog, true);
    } else if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        InvalidateRect(GetParent(dialog), nullptr, TRUE);
    }
}

}  // namespace

void OpenObjectListDialog(HWND window) {
    RunDialogInLanguage(window, IDD_OBJECTS_EN, IDD_OBJECTS_DE, CommandDialogProc<OnInit, OnCommand>);
    g_list.highlighted = nullptr;
}
