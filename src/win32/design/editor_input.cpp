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
#include "ui/app_state.h"
#include "resource_ids.h"
#include "panel/panel.h"

namespace {

stEditorState g_editor;

bool Editing(WPARAM keys) {
    return EditingAllowed(ProcessPanel().options) && (keys & MK_SHIFT) && AppState().panelMode == 1;
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
    const stAppState& app = AppState();
    RECT area{0, 0, app.clientWidth, app.clientHeight};
    if (y < app.layout.statusTop) area.bottom = app.clientHeight - app.layout.statusHeight - 1;
    InvalidateRect(window, &area, FALSE);
}

void SetArrowCursor() { SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))); }  // IDC_ARROW

void CancelBand(HWND window) {
    stAppState& app = AppState();
    InvalidateRect(window, nullptr, TRUE);
    app.bandStarted = app.bandDone = 0;
    g_editor.anchor = g_editor.bandStart = g_editor.bandEnd = POINT{0, 0};
    g_editor.radius = 0;
}

stPanelObject* ObjectAt(int x, int y, stObjList** list) {
    stDesign& lists = ProcessPanel().design;
    if (stPanelObject* led = FindLedAt(lists.leds, x, y)) {
        *list = lists.leds;
        return led;
    }
    *list = lists.keys;
    return FindKeyAt(lists.keys, x, y);
}

void StartMove(HWND window, stPanelObject* object, int x, int y) {
    stEditorState& ed = g_editor;
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
    if (object->tooltip && lstrlenA(object->tooltip) > 1) StatusLine(ProcessPanel().monitor, "%s", object->tooltip);
}

void FinishMove(HWND window) {
    stEditorState& ed = g_editor;
    stPanelObject* object = ed.dragObject;
    InvalidatePixelRect(window, ed.dragOldRect, FALSE);
    {
        ListLockGuard guard(ProcessPanel().design.listLock);
        object->pixelRect() = stPixelRect{ed.bandStart.x, ed.bandStart.y, ed.bandEnd.x, ed.bandEnd.y};
        ObjectToLogical(object);
        if (object->second) {
            object->second->pixelRect() = object->pixelRect();
            object->second->logicalRect() = object->logicalRect();
        }
    }
    InvalidatePixelRect(window, object->pixelRect(), FALSE);
    AppState().modified = 1;
    ed.dragObject = nullptr;
    if (GetCapture() == window) {
        ReleaseCapture();
        SetArrowCursor();
    }
}

// A record for the object drawn with the band; the list gets a copy after OK.
stPanelObject* BuildNewObject(int32_t kind) {
    auto* object = static_cast<stPanelObject*>(OrpAlloc(sizeof(stPanelObject)));
    if (!object) return nullptr;
    InitPanelObject(object);
    object->name = OrpStrDup(kind == kKindLed ? "LED" : (EnglishUi(ProcessPanel().options) ? "KEY" : "Taste"));
    object->tooltip = OrpStrDup("-");
    object->kind = kind;
    object->pixelRect() = g_editor.bandRect;
    ObjectToLogical(object);
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
    stEditorState& ed = g_editor;
    if (!ed.dragObject) return false;
    ListLockGuard guard(ProcessPanel().design.listLock);
    if (FindNode(ProcessPanel().design.keys, ed.dragObject) || FindNode(ProcessPanel().design.leds, ed.dragObject)) return true;
    ed.dragObject = nullptr;
    return false;
}

}  // namespace

stEditorState& EditorState() { return g_editor; }

void EditorKeyDown(HWND window, WPARAM virtualKey) {
    const stAppState& app = AppState();
    if (virtualKey != VK_SHIFT || !EditingAllowed(ProcessPanel().options) || app.panelMode == 0 || app.drawTool == 0) return;
    SetCapture(window);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));  // IDC_CROSS
}

void EditorKeyUp(HWND window, WPARAM virtualKey) {
    if (virtualKey != VK_SHIFT || !EditingAllowed(ProcessPanel().options) || AppState().panelMode == 0) return;
    if (GetCapture() != window) return;
    ReleaseCapture();
    SetArrowCursor();
}

bool EditorLeftButtonDown(HWND window, WPARAM keys, int x, int y) {
    stAppState& app = AppState();
    if (app.panelMode == 2) {
        if (app.lcdPlacing) FinishLcdPlacement(window, x, y);
        return true;
    }
    if (!Editing(keys)) return false;
    // A move goes on until a release without Shift; another press does not start anything.
    if (g_editor.dragObject) return true;
    stObjList* list = nullptr;
    if (stPanelObject* object = ObjectAt(x, y, &list)) {
        StartMove(window, object, x, y);
        return true;
    }
    if (app.drawTool != kKindKey && app.drawTool != kKindLed) return true;
    g_editor.bandStart = g_editor.bandEnd = g_editor.anchor = POINT{x, y};
    g_editor.radius = 0;
    app.bandStarted = 1;
    return true;
}

bool EditorMouseMove(HWND window, WPARAM keys, int x, int y) {
    stAppState& app = AppState();
    stEditorState& ed = g_editor;
    if (app.panelMode == 2) {
        if (app.lcdPlacing) MoveLcdPlacement(window, x, y);
        return app.lcdPlacing != 0;
    }
    if (Editing(keys) && app.bandStarted && (keys & MK_LBUTTON) &&
        (app.drawTool == kKindKey || app.drawTool == kKindLed)) {
        ed.bandEnd = POINT{x, y};
        ed.radius = LedRadius(ed.anchor.x, ed.anchor.y, x, y);
        InvalidateBandArea(window, y);
        return true;
    }
    if (DragObjectStillThere()) {
        InvalidateSpan(window, ed.bandStart, ed.bandEnd, FALSE);
        const int left = x - ed.grabOffset.x;
        const int top = y - ed.grabOffset.y;
        ed.bandStart = POINT{left, top};
        ed.bandEnd = POINT{left + ed.dragSize.cx, top + ed.dragSize.cy};
        ed.anchor = POINT{left + ed.radius, top + ed.radius};
        InvalidateSpan(window, ed.bandStart, ed.bandEnd, FALSE);
        return true;
    }
    return false;
}

bool EditorLeftButtonUp(HWND window, WPARAM keys, int x, int y) {
    stAppState& app = AppState();
    stEditorState& ed = g_editor;
    if (app.panelMode != 0 && app.panelMode != 1) return true;
    if (Editing(keys)) {
        if (!app.bandStarted) return true;
        app.bandStarted = 0;
        app.bandDone = 1;
        InvalidateRect(window, nullptr, TRUE);
        ed.bandRect = OrderBand(ed.bandStart.x, ed.bandStart.y, x, y);
        POINT at{ed.bandRect.left, ed.bandRect.top};
        if (app.drawTool == kKindLed) {
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
    if (EditingAllowed(ProcessPanel().options) && DragObjectStillThere() && app.panelMode != 0) {
        FinishMove(window);
        return true;
    }
    return false;
}

void EditorRightButtonUp(HWND window, WPARAM, int x, int y) {
    stAppState& app = AppState();
    stEditorState& ed = g_editor;
    if ((app.panelMode != 0 && app.panelMode != 1) || !EditingAllowed(ProcessPanel().options)) return;
    if (RectContains(Geometry().lcdRect, x, y)) {
        SendMessageA(window, WM_COMMAND, CMD_MODEL, 0);
        return;
    }
    stPropRequest& request = ed.request;
    stPanelObject* built = nullptr;
    if (app.bandDone && (app.drawTool == kKindKey || app.drawTool == kKindLed)) {
        const bool led = app.drawTool == kKindLed;
        request.list = led ? ProcessPanel().design.leds : ProcessPanel().design.keys;
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
            built = BuildNewObject(app.drawTool);
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
        request.dialogId = request.list == ProcessPanel().design.leds ? LedDialogId() : KeyDialogId();
        request.existing = 1;
    }
    const stPixelRect shown = request.object->pixelRect();
    InvalidatePixelRect(window, shown, TRUE);
    const INT_PTR result = RunPropertyDialog(window, &request);
    if (result == kPropOk || result == kPropDeleted) {
        if (built) {
            // Only an accepted new object joins the list; a deleted one was never in it.
            if (result == kPropOk) {
                stPanelObject* copy = CopyPanelObject(built);
                bool added = false;
                if (copy) {
                    ListLockGuard guard(ProcessPanel().design.listLock);
                    added = AppendItem(request.list, copy) != 0;
                }
                if (added) {
                    ResetLedSelectionCache(ProcessPanel().design);
                    FreeBuiltObject(built, false);  // the copy owns the second half now
                    app.modified = 1;
                } else {
                    if (copy) FreeBuiltObject(copy, false);
                    FreeBuiltObject(built, true);
                }
            } else {
                FreeBuiltObject(built, true);
            }
            app.bandDone = 0;
        } else {
            app.modified = 1;
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

bool EditorEscape(HWND window) {
    stAppState& app = AppState();
    if (app.panelMode == 1 && (app.bandStarted || app.bandDone)) {
        CancelBand(window);
        return true;
    }
    if (app.panelMode == 2 && app.lcdPlacing) {
        CancelLcdPlacement(window);
        return true;
    }
    return false;
}
