#include "harness/ui_driver.h"

#include "harness/panel_dll.h"

#include <cstdio>

namespace {

struct DialogSearch {
    DWORD thread;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (GetWindowThreadProcessId(window, nullptr) != search->thread || lstrcmpA(cls, "#32770") != 0 ||
        !IsWindowVisible(window))
        return TRUE;
    if (search->title && WindowText(window) != *search->title) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string text = WindowText(window);
        if (!text.empty()) *reinterpret_cast<std::string*>(param) += text;
    }
    return TRUE;
}

void SendKey(WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

}  // namespace

HWND WaitForDialog(HWND panel, const std::string& title, DWORD timeoutMs) {
    DialogSearch search{GetWindowThreadProcessId(panel, nullptr), &title, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND AnyDialog(HWND panel) {
    DialogSearch search{GetWindowThreadProcessId(panel, nullptr), nullptr, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitUntilClosed(HWND dialog, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeoutMs);
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ClickItem(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool ItemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

PanelMouse::PanelMouse(HWND window) : window_(window) { SetForegroundWindow(window); }

void PanelMouse::MoveTo(int x, int y) { Event(x, y, 0); }
void PanelMouse::LeftDown(int x, int y) { Event(x, y, MOUSEEVENTF_LEFTDOWN); }
void PanelMouse::LeftUp(int x, int y) { Event(x, y, MOUSEEVENTF_LEFTUP); }

void PanelMouse::RightClick(int x, int y) {
    Event(x, y, MOUSEEVENTF_RIGHTDOWN);
    Event(x, y, MOUSEEVENTF_RIGHTUP);
}

void PanelMouse::Drag(int fromX, int fromY, int toX, int toY) {
    LeftDown(fromX, fromY);
    for (int step = 1; step <= 4; ++step)
        MoveTo(fromX + (toX - fromX) * step / 4, fromY + (toY - fromY) * step / 4);
    LeftUp(toX, toY);
}

void PanelMouse::Event(int x, int y, DWORD buttons) {
    POINT p{x, y};
    ClientToScreen(window_, &p);
    // Every event carries its absolute position, so a button never takes the position of an
    // earlier pointer motion that the display reports late. Normalised coordinates rounded up
    // map back to the same pixel.
    const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(p.x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(p.y) * 65536 + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    // Let the pointer settle there before the next event.
    WaitUntil(
        [&] {
            POINT now;
            return GetCursorPos(&now) && now.x == p.x && now.y == p.y;
        },
        2000, 5);
}

void KeyDown(WORD virtualKey) { SendKey(virtualKey, 0); }
void KeyUp(WORD virtualKey) { SendKey(virtualKey, KEYEVENTF_KEYUP); }

void PostMouse(HWND window, UINT message, WPARAM keys, int x, int y) {
    PostMessageA(window, message, keys, MAKELPARAM(x, y));
}
void PostShiftDown(HWND window) { PostMessageA(window, WM_KEYDOWN, VK_SHIFT, 1); }
void PostShiftUp(HWND window) { PostMessageA(window, WM_KEYUP, VK_SHIFT, static_cast<LPARAM>(0xC0000001u)); }

void PostShiftDrag(HWND window, int fromX, int fromY, int toX, int toY, bool release) {
    PostShiftDown(window);
    PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, fromX, fromY);
    for (int step = 1; step <= 4; ++step)
        PostMouse(window, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, fromX + (toX - fromX) * step / 4,
                  fromY + (toY - fromY) * step / 4);
    if (!release) return;
    PostMouse(window, WM_LBUTTONUP, MK_SHIFT, toX, toY);
    PostShiftUp(window);
}

bool SaveScreenRect(const RECT& rect, const std::string& path) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + rowBytes * height;
    bool ok = false;
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, rowBytes * height, 1, out) == 1;
        ok = std::fclose(out) == 0 && ok;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}
