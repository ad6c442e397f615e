// Size, layout and painting of the main window.
#include <algorithm>

#include "common/options.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "lcd/lcd_draw.h"
#include "settings/settings.h"
#include "ui/app_state.h"
#include "ui/main_handlers.h"
#include "design/editor_paint.h"
#include "design/led_painter.h"
#include "lcd/lcd_painter.h"
#include "panel/panel.h"

namespace {

// The plate's size on screen, rounded to whole pixels. (Truncating would drop a column and a
// row of the usual 96 dpi plate, which is stored at 3780 pixels per metre, i.e. 96.01 dpi.)
int ScaledPlateWidth() {
    const stLcdGeometry& g = Geometry();
    return static_cast<int>(ProcessPanel().design.plate.widthPx * g.plateScaleX / g.scaleDivisor + 0.5f);
}

int ScaledPlateHeight() {
    const stLcdGeometry& g = Geometry();
    return static_cast<int>(ProcessPanel().design.plate.heightPx * g.plateScaleY / g.scaleDivisor + 0.5f);
}

void PaintFrontPlate(HDC dc) {
    stFrontPlate& plate = ProcessPanel().design.plate;
    if (!plate.bitmap) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(plate.bitmap));
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, ScaledPlateWidth(), ScaledPlateHeight(), source, 0, 0, plate.widthPx, plate.heightPx,
               SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void PaintSplash(HDC dc) {
    stFrontPlate& plate = ProcessPanel().design.plate;
    const stAppState& app = AppState();
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(plate.splashBitmap));
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, app.clientWidth, app.clientHeight - app.layout.statusHeight - 2, source, 0, 0,
               plate.splashWidth, plate.splashHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void PaintConnectionIcon(HDC dc) {
    const stAppState& app = AppState();
    if (app.connIcon < 0 || app.connIcon > 3 || !app.connIcons[app.connIcon]) return;
    DrawIcon(dc, app.clientWidth - app.iconWidth, app.clientHeight - app.iconHeight, app.connIcons[app.connIcon]);
}

}  // namespace

void UpdateLayout() {
    stAppState& app = AppState();
    stLayout& layout = app.layout;
    layout.statusTop = app.clientHeight - 2 * app.lineHeight;
    layout.statusWidth = app.clientWidth - app.iconWidth;
    layout.statusHeight = 2 * app.lineHeight;
    layout.iconRect = RECT{app.clientWidth - app.iconWidth, layout.statusTop, app.clientWidth, app.clientHeight};
    if (app.hwndStatus)
        MoveWindow(app.hwndStatus, 0, layout.statusTop, layout.statusWidth, app.clientHeight - layout.statusTop, TRUE);
}

void OnSize(int width, int height) {
    AppState().clientWidth = width;
    AppState().clientHeight = height;
    UpdateLayout();
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (ProcessPanel().design.plate.image) {
        PaintFrontPlate(dc);
        PaintLcd(dc);
        PaintLeds(dc);
    } else if (ProcessPanel().settings.fileCfg[0] == '\0' && ProcessPanel().design.plate.splashBitmap) {
        PaintSplash(dc);
    }
    PaintEditorOverlay(dc);
    if (HasOption(ProcessPanel().options, OPT_COMM_UI)) PaintConnectionIcon(dc);
    EndPaint(window, &ps);
}

void RepaintPanelArea(HWND window) {
    const stAppState& app = AppState();
    RECT area{0, 0, app.clientWidth, app.clientHeight - app.layout.statusHeight - 1};
    InvalidateRect(window, &area, TRUE);
}

void ResizeToPanel(HWND window, int flag) {
    stAppState& app = AppState();
    const stLayout& layout = app.layout;
    const stFrontPlate& plate = ProcessPanel().design.plate;
    int width;
    int height;
    if (flag == 1) {
        width = plate.widthPx;
        height = plate.heightPx;
    } else {
        width = ScaledPlateWidth();
        height = ScaledPlateHeight();
        ListLockGuard guard(ProcessPanel().design.listLock);
        for (stObjList* list : {ProcessPanel().design.keys, ProcessPanel().design.leds}) {
            if (!list) continue;
            for (stListNode* node = list->first; node; node = node->next) {
                auto* object = static_cast<stPanelObject*>(node->item);
                const stLogicalRect& l = object->logicalRect();
                object->pixelRect() = ObjectToPixels(l.x, l.y, l.width, l.height);
                if (object->second) object->second->pixelRect() = object->pixelRect();
            }
        }
        LayOutCurrentLcd();
    }
    // Without a front plate or start picture there is nothing to size to: keep the window as it
    // is rather than shrink it to its frame.
    if (width <= 0 || height <= 0) return;
    // The client area gets the plate and the status line below it; the frame, caption and menu
    // come from the window's real metrics so that no part of the plate is hidden.
    const int clientHeight = height + layout.statusHeight;
    RECT frame{0, 0, width, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    width = frame.right - frame.left;
    height = frame.bottom - frame.top;
    RECT rect;
    GetWindowRect(window, &rect);
    // Keep the left and top edges unless the window would reach past the screen's right or
    // bottom edge; then it ends at that edge (but does not start before 0).
    auto place = [&] {
        int left = rect.left;
        int top = rect.top;
        if (left + width > app.screenWidth) left = std::max(0, app.screenWidth - width);
        if (top + height > app.screenHeight) top = std::max(0, app.screenHeight - height);
        MoveWindow(window, left, top, width, height, TRUE);
    };
    place();
    // A narrow window wraps its menu bar onto more lines than the frame arithmetic assumes:
    // grow it by what the client area still lacks.
    for (int attempt = 0; attempt < 3; ++attempt) {
        // The menu bar is laid out anew for the new width when it is drawn.
        DrawMenuBar(window);
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        RECT client;
        GetClientRect(window, &client);
        if (client.bottom >= clientHeight) break;
        height += clientHeight - client.bottom;
        place();
    }
}
