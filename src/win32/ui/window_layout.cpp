#include "ui/window_layout.h"

#include "resource_ids.h"
#include "ui/window_registry.h"

namespace {
stWindowLayout g_layout{};
}  // namespace

stWindowLayout& WindowLayout() { return g_layout; }

void MeasureWindowText(HWND window) {
    HDC dc = GetDC(window);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(window, dc);
    g_layout.lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    g_layout.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_layout.screenHeight = GetSystemMetrics(SM_CYSCREEN);
}

void LoadConnectionIcons(HINSTANCE instance) {
    static const int kIconIds[4] = {IDI_SERIAL_CLOSED, IDI_SERIAL_OPEN, IDI_NET_CLOSED, IDI_NET_OPEN};
    for (int i = 0; i < 4; ++i) g_layout.connIcons[i] = LoadIconA(instance, MAKEINTRESOURCEA(kIconIds[i]));
    g_layout.iconWidth = GetSystemMetrics(SM_CXICON);
    g_layout.iconHeight = GetSystemMetrics(SM_CYICON);
}

void SetClientSize(int width, int height) {
    stWindowLayout& l = g_layout;
    l.clientWidth = width;
    l.clientHeight = height;
    l.statusTop = l.clientHeight - 2 * l.lineHeight;
    l.statusWidth = l.clientWidth - l.iconWidth;
    l.statusHeight = 2 * l.lineHeight;
    l.iconRect = RECT{l.clientWidth - l.iconWidth, l.statusTop, l.clientWidth, l.clientHeight};
    if (HWND status = Windows().hwndStatus)
        MoveWindow(status, 0, l.statusTop, l.statusWidth, l.clientHeight - l.statusTop, TRUE);
}

RECT PanelAreaRect() { return RECT{0, 0, g_layout.clientWidth, g_layout.clientHeight - g_layout.statusHeight - 1}; }
