// Size, layout and painting of the main window.
#include <algorithm>

#include "common/options.h"
#include "design/front_plate.h"
#include "design/lcd_geometry.h"
#include "design/object_model.h"
#include "lcd/lcd_draw.h"
#include "settings/settings.h"
#include "link/connection.h"
#include "ui/window_layout.h"
#include "ui/main_handlers.h"
#include "design/editor_paint.h"
#include "lcd/gdi_panel_surface.h"
#include "api/dll_panel.h"
#include "panel/panel_layout.h"
#include "panel/panel_surface.h"

namespace {

void PaintSplash(HDC dc) {
    stFrontPlate& plate = DllPanel().design.plate;
    const stWindowLayout& layout = WindowLayout();
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(plate.splashBitmap));
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, layout.clientWidth, layout.clientHeight - layout.statusHeight - 2, source, 0, 0,
               plate.splashWidth, plate.splashHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void PaintConnectionIcon(HDC dc) {
    const stWindowLayout& layout = WindowLayout();
    const int icon = ConnectionUi().connIcon;
    if (icon < 0 || icon > 3 || !layout.connIcons[icon]) return;
    DrawIcon(dc, layout.clientWidth - layout.iconWidth, layout.clientHeight - layout.iconHeight, layout.connIcons[icon]);
}

}  // namespace

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (DllPanel().design.plate.image) {
        GdiPanelSurface surface(dc);
        PaintPanel(DllPanel(), surface);
    } else if (DllPanel().settings.fileCfg[0] == '\0' && DllPanel().design.plate.splashBitmap) {
        PaintSplash(dc);
    }
    PaintEditorOverlay(dc);
    if (HasOption(DllPanel().options, OPT_COMM_UI)) PaintConnectionIcon(dc);
    EndPaint(window, &ps);
}

void RepaintPanelArea(HWND window, BOOL erase) {
    const RECT area = PanelAreaRect();
    InvalidateRect(window, &area, erase);
}

void ResizeToPanel(HWND window, int flag) {
    const stWindowLayout& layout = WindowLayout();
    const stFrontPlate& plate = DllPanel().design.plate;
    int width;
    int height;
    if (flag == 1) {
        width = plate.widthPx;
        height = plate.heightPx;
    } else {
        const stPlateSize size = ScaledPlateSize(DllPanel());
        width = size.width;
        height = size.height;
        LayOutObjects(DllPanel());
        LayOutCurrentLcd(DllPanel());
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
        if (left + width > layout.screenWidth) left = std::max(0, layout.screenWidth - width);
        if (top + height > layout.screenHeight) top = std::max(0, layout.screenHeight - height);
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
