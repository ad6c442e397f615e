// The old LCD stays as it is (drawn, laid out, current) while the candidate's outline follows
// the mouse: only the placement click lays out the new type, so the old text is never drawn
// with the candidate's cell positions and Escape has nothing to undo but the mode.
#include "design/lcd_placing.h"

#include "design/editor_state.h"
#include "design/lcd_geometry.h"
#include "design/lcd_placement.h"
#include "lcd/charset.h"
#include "lcd/lcd_draw.h"
#include "panel/panel.h"
#include "ui/app_state.h"
#include "ui/main_handlers.h"

namespace {

void InvalidatePixelRect(HWND window, const stPixelRect& r, BOOL erase) {
    RECT rect{r.left, r.top, r.right, r.bottom};
    InvalidateRect(window, &rect, erase);
}

void InvalidatePanel(HWND window, BOOL erase) {
    const stAppState& app = AppState();
    RECT area{0, 0, app.clientWidth, app.clientHeight - app.layout.statusHeight - 1};
    InvalidateRect(window, &area, erase);
}

}  // namespace

void StartLcdPlacement(HWND window, stLcdType* type, int x, int y) {
    stAppState& app = AppState();
    stEditorState& ed = EditorState();
    app.savedMode = app.panelMode;
    app.lcdPlaced = 0;
    app.panelMode = 2;
    app.lcdPlacing = 1;
    ed.placeCandidate = type;
    ed.placeRect = LcdFrameAt(type, x, y);
    RepaintPanelArea(window);
}

void MoveLcdPlacement(HWND window, int x, int y) {
    stEditorState& ed = EditorState();
    ed.placeRect = LcdFrameAt(ed.placeCandidate, x, y);
    InvalidatePanel(window, FALSE);
}

void FinishLcdPlacement(HWND window, int x, int y) {
    stAppState& app = AppState();
    stEditorState& ed = EditorState();
    stLcdType* type = ed.placeCandidate;
    if (!type) return;
    CheckMenuItem(GetMenu(window), static_cast<UINT>(type->placement.id), MF_BYCOMMAND | MF_CHECKED);
    InvalidatePixelRect(window, Geometry().lcdRect, TRUE);
    MakeLcdTypeCurrent(DesignLcdOf(ProcessPanel()), type);
    ed.placeCandidate = nullptr;
    app.lcdPlacing = 0;
    app.panelMode = app.savedMode;
    app.lcdPlaced = 1;
    app.modified = 1;
    PlaceLcd(ProcessPanel().lcd, x, y, type, &Geometry().lcdRect, kPlaceAll);
    ed.placedLcdRect = Geometry().lcdRect;
    LcdInvalidateCells(ProcessPanel().lcdDraw);
    InvalidatePanel(window, TRUE);
}

void CancelLcdPlacement(HWND window) {
    stAppState& app = AppState();
    stEditorState& ed = EditorState();
    InvalidatePanel(window, TRUE);
    app.lcdPlacing = 0;
    ed.placeCandidate = nullptr;
    if (app.lcdPlaced) return;
    if (stLcdType* current = CurrentLcdType(ProcessPanel().lcdDraw)) {
        PlaceLcd(ProcessPanel().lcd, ToPixels(current->placement.logicalRect.x, 0),
                 ToPixels(current->placement.logicalRect.y, 1), current, &Geometry().lcdRect, kPlaceAll);
        ed.placedLcdRect = Geometry().lcdRect;
        LcdSelectCharSet(ProcessPanel().lcd, LcdCharSetLetter(current));
        app.panelMode = 0;
        app.lcdPlaced = 1;
    } else {
        ed.placeRect = stPixelRect{0, 0, 0, 0};
        SetControllerGeometry(ProcessPanel().lcd, nullptr);
    }
}
