#include "design/editor_paint.h"

#include "design/edit_geometry.h"
#include "design/editor_state.h"
#include "design/lcd_geometry.h"
#include "api/dll_panel.h"

namespace {

// Selects the outline pen, a hollow brush and the AND mix mode; restores them when it ends.
class OutlineStyle {
public:
    OutlineStyle(HDC dc, COLORREF colour, int width, int style) : dc_(dc) {
        pen_ = CreatePen(style, width, colour);
        oldPen_ = SelectObject(dc, pen_);
        oldBrush_ = SelectObject(dc, GetStockObject(NULL_BRUSH));
        oldRop_ = SetROP2(dc, R2_MASKPEN);
        oldBkMode_ = SetBkMode(dc, TRANSPARENT);
    }
    ~OutlineStyle() {
        SetBkMode(dc_, oldBkMode_);
        SetROP2(dc_, oldRop_);
        SelectObject(dc_, oldBrush_);
        SelectObject(dc_, oldPen_);
        DeleteObject(pen_);
    }
    OutlineStyle(const OutlineStyle&) = delete;
    OutlineStyle& operator=(const OutlineStyle&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ oldPen_, oldBrush_;
    int oldRop_, oldBkMode_;
};

void OutlineRect(HDC dc, int left, int top, int right, int bottom) { RoundRect(dc, left, top, right, bottom, 5, 5); }
void OutlineRect(HDC dc, const stPixelRect& r) { OutlineRect(dc, r.left, r.top, r.right, r.bottom); }

// A full pie: start and end of the arc at the centre.
void OutlineCircle(HDC dc, int cx, int cy, int radius) {
    Pie(dc, cx - radius, cy - radius, cx + radius, cy + radius, cx, cy, cx, cy);
}

bool HasArea(const stPixelRect& r) { return r.right > r.left && r.bottom > r.top; }

void PaintObjects(HDC dc, const stEditorState& ed) {
    ListLockGuard guard(DllPanel().design.listLock);
    if (stObjList* keys = DllPanel().design.keys) {
        for (stListNode* node = keys->first; node; node = node->next) {
            auto* key = static_cast<stPanelObject*>(node->item);
            if (key != ed.dragObject) OutlineRect(dc, key->pixelRect());
        }
    }
    if (stObjList* leds = DllPanel().design.leds) {
        for (stListNode* node = leds->first; node; node = node->next) {
            auto* led = static_cast<stPanelObject*>(node->item);
            if (led == ed.dragObject) continue;
            const stPixelRect& r = led->pixelRect();
            OutlineCircle(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2, OutlineRadius(r));
        }
    }
}

void PaintDesignMode(HDC dc) {
    const stEditorMode& mode = EditorMode();
    const stEditorState& ed = EditorState();
    PaintObjects(dc, ed);
    if (ed.dragObject) {
        if (ed.dragKind == kKindLed)
            OutlineCircle(dc, ed.anchor.x, ed.anchor.y, ed.radius);
        else
            OutlineRect(dc, ed.bandStart.x, ed.bandStart.y, ed.bandEnd.x, ed.bandEnd.y);
    } else if (mode.drawTool == kKindKey) {
        if (mode.bandDone) OutlineRect(dc, ed.bandRect);
        if (mode.bandStarted) OutlineRect(dc, ed.bandStart.x, ed.bandStart.y, ed.bandEnd.x, ed.bandEnd.y);
    } else if (mode.drawTool == kKindLed && (mode.bandStarted || mode.bandDone)) {
        OutlineCircle(dc, ed.anchor.x, ed.anchor.y, ed.radius);
    }
    if (mode.lcdPlaced && HasArea(DllPanel().lcdDraw.layout.lcdRect)) OutlineRect(dc, DllPanel().lcdDraw.layout.lcdRect);
}

}  // namespace

void PaintEditorOverlay(HDC dc) {
    const stEditorMode& mode = EditorMode();
    if (mode.panelMode != 1 && mode.panelMode != 2) return;
    OutlineStyle style(dc, RGB(0, 0, 0), 1, PS_DASH);
    if (mode.panelMode == 1) {
        PaintDesignMode(dc);
        return;
    }
    const stEditorState& ed = EditorState();
    if (mode.lcdPlacing)
        OutlineRect(dc, ed.placeRect);
    else if (mode.lcdPlaced)
        OutlineRect(dc, ed.placedLcdRect);
}

void DrawSelectionFrame(HWND window, const stPanelObject* object) {
    if (!object) return;
    HDC dc = GetDC(window);
    if (!dc) return;
    {
        OutlineStyle style(dc, RGB(255, 255, 0), 5, PS_SOLID);
        OutlineRect(dc, object->pixelRect());
    }
    ReleaseDC(window, dc);
}
