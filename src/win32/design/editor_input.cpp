// Design editing with the mouse: Shift held in design mode draws the rubber band of a new key or
// LED or moves an existing one; a right click opens the property dialog of the object under the
// cursor or of the object just drawn; LCD placement follows the mouse until a click. What is not
// an editing action is left to operating-mode input (the handlers return false).
#include "design/editor_input.h"

#include "common/alloc.h"
#include "common/options.h"
#include "design/edit_geometry.h"
#include "design/editor_state.h"
#include "design/lcd_geometry.h"
#include "design/lcd_placing.h"
#include "design/property_dialog.h"
#include "monitor/trace.h"
#include "design/design_document.h"
#include "ui/window_layout.h"
#include "resource_ids.h"
#include "api/dll_panel.h"

namespace {

constexpr stEditorStep kTaken{true, PanelRepaint::kNone};
constexpr stEditorStep kLeft{false, PanelRepaint::kNone};

bool Editing(WPARAM keys) {
    return EditingAllowed(DllPanel().options) && (keys & MK_SHIFT) && EditorMode().panelMode == 1;
}

void InvalidatePixelRect(HWND window, const stPixelRect& r, BOOL erase) {
    RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(window, &rect, erase);
}

void InvalidateSpan(HWND window, POINT from, POINT to, BOOL erase) {
    RECT rect{from.x, from.y, to.x, to.y};
    InvalidateRect(window, &rect, erase);
}

// The client area, without the status line unless the cursor is over it.
void InvalidateBandArea(HWND window, int y) {
    const stWindowLayout& layout = WindowLayout();
    RECT area{0, 0, layout.clientWidth, layout.clientHeight};
    if (y < layout.statusTop) area.bottom = layout.clientHeight - layout.statusHeight - 1;
    InvalidateRect(window, &area, FALSE);
}

void SetArrowCursor() { SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))); }  // IDC_ARROW

void CancelBand(HWND window) {
    stEditorMode& mode = EditorMode();
    InvalidateRect(window, nullptr, TRUE);
    mode.bandStarted = mode.bandDone = 0;
    stEditorState& ed = EditorState();
    ed.anchor = ed.bandStart = ed.bandEnd = POINT{0, 0};
    ed.radius = 0;
}

stPanelObject* ObjectAt(int x, int y, stObjList** list) {
    stDesign& lists = DllPanel().design;
    if (stPanelObject* led = FindLedAt(lists.leds, x, y)) {
        *list = lists.leds;
        return led;
    }
    *list = lists.keys;
    return FindKeyAt(lists.keys, x, y);
}

void StartMove(HWND window, stPanelObject* object, int x, int y) {
    stEditorState& ed = EditorState();
    const stPixelRect r = object->pixelRect();
    SetCapture(window);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32646)));  // IDC_SIZEALL
    ed.dragOldRect = r;
    ed.grabOffset = POINT{x - r.left, y - r.top};
    ed.dragSize = SIZE{r.right - r.left, r.bottom - r.top};
    ed.bandStart = POINT{r.left, r.top};
    ed.bandEnd = POINT{r.right, r.bottom};
    ed.radius = OutlineRadius(r);
    ed.anchor = POINT{r.left + ed.radius, r.top + ed.radius};
    ed.dragObject = object;
    ed.dragKind = object->kind;
    // The hover over the object has already stopped the operating tips.
    if (object->tooltip && lstrlenA(object->tooltip) > 1) StatusLine(DllPanel().monitor, "%s", object->tooltip);
}

void FinishMove(HWND window) {
    stEditorState& ed = EditorState();
    stPanelObject* object = ed.dragObject;
    InvalidatePixelRect(window, ed.dragOldRect, FALSE);
    {
        ListLockGuard guard(DllPanel().design.listLock);
        object->pixelRect() = stPixelRect{ed.bandStart.x, ed.bandStart.y, ed.bandEnd.x, ed.bandEnd.y};
        ObjectToLogical(DllPanel().design.scale, object);
        if (object->second) {
            object->second->pixelRect() = object->pixelRect();
            object->second->logicalRect() = object->logicalRect();
        }
    }
    InvalidatePixelRect(window, object->pixelRect(), FALSE);
    DesignDocument().modified = 1;
    ed.dragObject = nullptr;
    if (GetCapture() == window) {
        ReleaseCapture();
        SetArrowCursor();
    }
}

// A record for the object drawn with the band; the list gets a copy after OK.
stPanelObject* BuildNewObject(int32_t kind) {
    stHeap& heap = DllPanel().heap;
    auto* object = static_cast<stPanelObject*>(OrpAlloc(heap, sizeof(stPanelObject)));
    if (!object) return nullptr;
    InitPanelObject(object);
    object->name = OrpStrDup(heap, kind == kKindLed ? "LED" : (EnglishUi(DllPanel().options) ? "KEY" : "Taste"));
    object->tooltip = OrpStrDup(heap, "-");
    object->kind = kind;
    object->pixelRect() = EditorState().bandRect;
    ObjectToLogical(DllPanel().design.scale, object);
    return object;
}

void FreeBuiltObject(stPanelObject* object, bool withSecond) {
    if (withSecond && object->second) {
        OrpFree(object->second->name);
        OrpFree(object->second->tooltip);
        OrpFree(object->second);
    }
    OrpFree(object->name);
    OrpFree(object->tooltip);
    OrpFree(object);
}

// A design opened or replaced while an object was being moved has freed that object.
bool DragObjectStillThere() {
    stEditorState& ed = EditorState();
    if (!ed.dragObject) return false;
    ListLockGuard guard(DllPanel().design.listLock);
    if (FindNode(DllPanel().design.keys, ed.dragObject) || FindNode(DllPanel().design.leds, ed.dragObject)) return true;
    ed.dragObject = nullptr;
    return false;
}

}  // namespace

void EditorKeyDown(HWND window, WPARAM virtualKey) {
    const stEditorMode& mode = EditorMode();
    if (virtualKey != VK_SHIFT || !EditingAllowed(DllPanel().options) || mode.panelMode == 0 || mode.drawTool == 0) return;
    SetCapture(window);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));  // IDC_CROSS
}

void EditorKeyUp(HWND window, WPARAM virtualKey) {
    if (virtualKey != VK_SHIFT || !EditingAllowed(DllPanel().options) || EditorMode().panelMode == 0) return;
    if (GetCapture() != window) return;
    ReleaseCapture();
    SetArrowCursor();
}

stEditorStep EditorLeftButtonDown(HWND window, WPARAM keys, int x, int y) {
    stEditorMode& mode = EditorMode();
    if (mode.panelMode == 2) {
        return stEditorStep{true, mode.lcdPlacing ? FinishLcdPlacement(window, x, y) : PanelRepaint::kNone};
    }
    if (!Editing(keys)) return kLeft;
    // A move goes on until a release without Shift; another press does not start anything.
    if (EditorState().dragObject) return kTaken;
    stObjList* list = nullptr;
    if (stPanelObject* object = ObjectAt(x, y, &list)) {
        StartMove(window, object, x, y);
        return kTaken;
    }
    if (mode.drawTool != kKindKey && mode.drawTool != kKindLed) return kTaken;
    stEditorState& ed = EditorState();
    ed.bandStart = ed.bandEnd = ed.anchor = POINT{x, y};
    ed.radius = 0;
    mode.bandStarted = 1;
    return kTaken;
}

stEditorStep EditorMouseMove(HWND window, WPARAM keys, int x, int y) {
    stEditorMode& mode = EditorMode();
    stEditorState& ed = EditorState();
    if (mode.panelMode == 2) {
        if (!mode.lcdPlacing) return kLeft;
        return stEditorStep{true, MoveLcdPlacement(x, y)};
    }
    if (Editing(keys) && mode.bandStarted && (keys & MK_LBUTTON) &&
        (mode.drawTool == kKindKey || mode.drawTool == kKindLed)) {
        ed.bandEnd = POINT{x, y};
        ed.radius = LedRadius(ed.anchor.x, ed.anchor.y, x, y);
        InvalidateBandArea(window, y);
        return kTaken;
    }
    if (DragObjectStillThere()) {
        InvalidateSpan(window, ed.bandStart, ed.bandEnd, FALSE);
        const int left = x - ed.grabOffset.x;
        const int top = y - ed.grabOffset.y;
        ed.bandStart = POINT{left, top};
        ed.bandEnd = POINT{left + ed.dragSize.cx, top + ed.dragSize.cy};
        ed.anchor = POINT{left + ed.radius, top + ed.radius};
        InvalidateSpan(window, ed.bandStart, ed.bandEnd, FALSE);
        return kTaken;
    }
    return kLeft;
}

bool EditorLeftButtonUp(HWND window, WPARAM keys, int x, int y) {
    stEditorMode& mode = EditorMode();
    stEditorState& ed = EditorState();
    if (mode.panelMode != 0 && mode.panelMode != 1) return true;
    if (Editing(keys)) {
        if (!mode.bandStarted) return true;
        mode.bandStarted = 0;
        mode.bandDone = 1;
        InvalidateRect(window, nullptr, TRUE);
        ed.bandRect = OrderBand(ed.bandStart.x, ed.bandStart.y, x, y);
        POINT at{ed.bandRect.left, ed.bandRect.top};
        if (mode.drawTool == kKindLed) {
            ed.radius = LedRadius(ed.anchor.x, ed.anchor.y, x, y);
            ed.bandRect = LedSquare(ed.anchor.x, ed.anchor.y, ed.radius);
            at = ed.anchor;
        }
        // A click without a drag spans nothing: there is no object to build.
        if (ed.bandRect.right <= ed.bandRect.left || ed.bandRect.bottom <= ed.bandRect.top) {
            CancelBand(window);
            return true;
        }
        SendMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        return true;
    }
    if (EditingAllowed(DllPanel().options) && DragObjectStillThere() && mode.panelMode != 0) {
        FinishMove(window);
        return true;
    }
    return false;
}

void EditorRightButtonUp(HWND window, WPARAM, int x, int y) {
    stDesignDocument& document = DesignDocument();
    stEditorMode& mode = EditorMode();
    stEditorState& ed = EditorState();
    if ((mode.panelMode != 0 && mode.panelMode != 1) || !EditingAllowed(DllPanel().options)) return;
    if (RectContains(DllPanel().lcdDraw.layout.lcdRect, x, y)) {
        SendMessageA(window, WM_COMMAND, CMD_MODEL, 0);
        return;
    }
    stPropRequest& request = ed.request;
    stPanelObject* built = nullptr;
    if (mode.bandDone && (mode.drawTool == kKindKey || mode.drawTool == kKindLed)) {
        const bool led = mode.drawTool == kKindLed;
        request.list = led ? DllPanel().design.leds : DllPanel().design.keys;
        if (request.list && request.list->count >= kMaxObjectsPerList) {
            MessageBoxA(window, led ? "Maximale Anzahl an LED erreicht!" : "Maximale Anzahl an Tasten erreicht!",
                        "ORPpanel", MB_OK | MB_ICONINFORMATION);
            CancelBand(window);
            return;
        }
        request.dialogId = led ? LedDialogId() : KeyDialogId();
        request.object = led ? FindLedAt(request.list, x, y) : FindKeyAt(request.list, x, y);
        request.existing = 1;
        if (!request.object) {
            if (!RectContains(ed.bandRect, x, y)) return;
            built = BuildNewObject(mode.drawTool);
            if (!built) {
                CancelBand(window);
                return;
            }
            request.object = built;
            request.existing = 0;
        }
    } else {
        request.object = ObjectAt(x, y, &request.list);
        if (!request.object) return;
        request.dialogId = request.list == DllPanel().design.leds ? LedDialogId() : KeyDialogId();
        request.existing = 1;
    }
    const stPixelRect shown = request.object->pixelRect();
    InvalidatePixelRect(window, shown, TRUE);
    const INT_PTR result = RunPropertyDialog(window, &request);
    if (result == kPropOk || result == kPropDeleted) {
        if (built) {
            // Only an accepted new object joins the list; a deleted one was never in it.
            if (result == kPropOk) {
                stPanelObject* copy = CopyPanelObject(DllPanel().heap, built);
                bool added = false;
                if (copy) {
                    ListLockGuard guard(DllPanel().design.listLock);
                    added = AppendItem(request.list, copy) != 0;
                }
                if (added) {
                    ResetLedSelectionCache(DllPanel().design);
                    FreeBuiltObject(built, false);  // the copy owns the second half now
                    document.modified = 1;
                } else {
                    if (copy) FreeBuiltObject(copy, false);
                    FreeBuiltObject(built, true);
                }
            } else {
                FreeBuiltObject(built, true);
            }
            mode.bandDone = 0;
        } else {
            document.modified = 1;
        }
        // The object may have moved or gone: its old place and its new one are repainted.
        InvalidatePixelRect(window, shown, TRUE);
        InvalidateRect(window, nullptr, TRUE);
    } else {
        if (built) FreeBuiltObject(built, true);
        CancelBand(window);
    }
    request.list = nullptr;
}

stEditorStep EditorEscape(HWND window) {
    stEditorMode& mode = EditorMode();
    if (mode.panelMode == 1 && (mode.bandStarted || mode.bandDone)) {
        CancelBand(window);
        return kTaken;
    }
    if (mode.panelMode == 2 && mode.lcdPlacing) {
        return stEditorStep{true, CancelLcdPlacement()};
    }
    return kLeft;
}
