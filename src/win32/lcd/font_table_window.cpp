// The font table window. The picture is rendered by the core into a 32-bit bitmap and copied to
// the window in one step, which is far quicker than filling some 10 000 dot squares one by one.
#include "lcd/font_table_window.h"

#include <cstring>

#include "lcd/charset.h"
#include "lcd/controller.h"
#include "lcd/font_table.h"
#include "api/dll_panel.h"
#include "resources/resource_ids.h"
#include "ui/dialog_box.h"

namespace {

constexpr int kX = 200, kY = 200, kWidth = 450, kHeight = 500;

// COLORREF (0x00BBGGRR) to a 32-bit DIB pixel (0x00RRGGBB).
uint32_t DibPixel(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kFontTableWidth;
    info.bmiHeader.biHeight = -kFontTableHeight;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        uint32_t shown[kLcdCharSetSize];
        LcdComposeCharSet(DllPanel().lcd, shown);
        RenderFontTable(shown, DibPixel(GetSysColor(COLOR_WINDOW)), DibPixel(RGB(0, 0, 0)),
                        DibPixel(RGB(255, 255, 255)), static_cast<uint32_t*>(bits));
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, kFontTableWidth, kFontTableHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    if (bitmap) DeleteObject(bitmap);
    EndPaint(window, &ps);
}

LRESULT CALLBACK FontTableProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ShowWindow(window, SW_HIDE);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_CHAR:
        if (wParam != VK_ESCAPE) break;
        if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateFontTableWindow(HINSTANCE instance, HWND owner) {
    WNDCLASSEXA wc{};
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_OUTPUT_LARGE));
    wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_OUTPUT_SMALL));
    if (!RegisterPanelWindowClass(wc, instance, FontTableProc, kFontTableWindowClass)) return nullptr;
    // A plain overlapped window: a caption but no system menu, so no close box either.
    return CreateWindowExA(0, kFontTableWindowClass, "Fonttable", WS_OVERLAPPED, kX, kY, kWidth, kHeight, owner,
                           nullptr, instance, nullptr);
}

void RemoveFontTableWindow(HWND window, HINSTANCE instance) {
    if (window && IsWindow(window)) DestroyWindow(window);
    UnregisterClassA(kFontTableWindowClass, instance);
}

void ToggleFontTableWindow(HWND window) {
    if (!window) return;
    if (IsWindowVisible(window)) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    // On top, but the keyboard stays where the user was working.
    ShowWindow(window, SW_SHOWNA);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void RepaintFontTableWindow(HWND window) {
    if (window) InvalidateRect(window, nullptr, TRUE);
}
