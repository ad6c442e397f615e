// The old LCD stays as it is (drawn, laid out, current) while the candidate's outline follows
// the mouse: only the placement click lays out the new type, so the old text is never drawn
// with the candidate's cell positions and Escape has nothing to undo but the mode.
#include "design/lcd_placing.h"

#include "design/design_document.h"
#include "design/editor_state.h"
#include "design/lcd_geometry.h"
#include "design/lcd_placement.h"
#include "lcd/charset.h"
#include "lcd/lcd_draw.h"
#include "api/dll_panel.h"

namespace {

void InvalidatePixelRect(HWND window, const stPixelRect& r, BOOL erase) {
    RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(window, &rect, erase);
}

}  // namespace

PanelRepaint StartLcdPlacement(stLcdType* type, int x, int y) {
    stEditorMode& mode = EditorMode();
    stEditorState& ed = EditorState();
    mode.savedMode = mode.panelMode;
    mode.lcdPlaced = 0;
    mode.panelMode = 2;
    mode.lcdPlacing = 1;
    ed.placeCandidate = type;
    ed.placeRect = LcdFrameAt(DllPanel().design.scale, type, x, y);
    return PanelRepaint::kPanelAreaErased;
}

PanelRepaint MoveLcdPlacement(int x, int y) {
    stEditorState& ed = EditorState();
    ed.placeRect = LcdFrameAt(DllPanel().design.scale, ed.placeCandidate, x, y);
    return PanelRepaint::kPanelArea;
}

PanelRepaint FinishLcdPlacement(HWND window, int x, int y) {
    stEditorMode& mode = EditorMode();
    stEditorState& ed = EditorState();
    stLcdType* type = ed.placeCandidate;
    if (!type) return PanelRepaint::kNone;
    CheckMenuItem(GetMenu(window), static_cast<UINT>(type->placement.id), MF_BYCOMMAND | MF_CHECKED);
    InvalidatePixelRect(window, DllPanel().lcdDraw.layout.lcdRect, TRUE);
    MakeLcdTypeCurrent(DesignLcdOf(DllPanel()), type);
    ed.placeCandidate = nullptr;
    mode.lcdPlacing = 0;
    mode.panelMode = mode.savedMode;
    mode.lcdPlaced = 1;
    DesignDocument().modified = 1;
    PlaceLcd(DllPanel().design.scale, DllPanel().lcd, DllPanel().lcdDraw.layout, x, y, type, &DllPanel().lcdDraw.layout.lcdRect, kPlaceAll);
    ed.placedLcdRect = DllPanel().lcdDraw.layout.lcdRect;
    LcdInvalidateCells(DllPanel().lcdDraw);
    return PanelRepaint::kPanelAreaErased;
}

PanelRepaint CancelLcdPlacement() {
    stEditorMode& mode = EditorMode();
    stEditorState& ed = EditorState();
    mode.lcdPlacing = 0;
    ed.placeCandidate = nullptr;
    if (mode.lcdPlaced) return PanelRepaint::kPanelAreaErased;
    if (stLcdType* current = CurrentLcdType(DllPanel().lcdDraw)) {
        PlaceLcd(DllPanel().design.scale, DllPanel().lcd, DllPanel().lcdDraw.layout, ToPixels(DllPanel().design.scale, current->placement.logicalRect.x, 0),
                 ToPixels(DllPanel().design.scale, current->placement.logicalRect.y, 1), current, &DllPanel().lcdDraw.layout.lcdRect, kPlaceAll);
        ed.placedLcdRect = DllPanel().lcdDraw.layout.lcdRect;
        LcdSelectCharSet(DllPanel().lcd, LcdCharSetLetter(current));
        mode.panelMode = 0;
        mode.lcdPlaced = 1;
    } else {
        ed.placeRect = stPixelRect{0, 0, 0, 0};
        SetControllerGeometry(DllPanel().lcd, nullptr);
    }
    return PanelRepaint::kPanelAreaErased;
}
