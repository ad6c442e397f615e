#include "ui/status_line.h"

#include "ui/window_registry.h"

namespace {
HFONT g_statusFont = nullptr;

// "MS Sans Serif" at weight 300, sized like the system font.
HFONT CreateStatusFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfWeight = 300;
    font.lfWidth = 0;
    lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}
}  // namespace

HWND CreateStatusLine(HWND main) {
    stWindowRegistry& windows = Windows();
    windows.hwndStatus = CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_LEFT, 0, 0, 0, 0, main,
                                     nullptr, windows.hInstance, nullptr);
    if (windows.hwndStatus) {
        g_statusFont = CreateStatusFont();
        if (g_statusFont) SendMessageA(windows.hwndStatus, WM_SETFONT, reinterpret_cast<WPARAM>(g_statusFont), FALSE);
    }
    return windows.hwndStatus;
}

void DestroyStatusLineFont() {
    if (g_statusFont) DeleteObject(g_statusFont);
    g_statusFont = nullptr;
}
