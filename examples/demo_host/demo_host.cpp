// The demo device on Windows: its firmware (demo_device.h) runs here, on the PC, while
// orppanel.dll shows its front panel (the design samples/make_demo_workdir.py writes).
//
//   orp_demo_host.exe              runs until the panel window is closed
//   orp_demo_host.exe --script D   plays a short scripted session by itself and saves a
//                                  picture of the panel after each step in directory D
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "demo_device.h"
#include "orppanel_host.h"

namespace {
using namespace demo;
Device* g_device = nullptr;

void RunFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        g_device->Step();
        Sleep(10);
    }
}

// ---- the scripted session --------------------------------------------------------------------
// Key rectangles of the demo design (plate pixels; the panel shows the plate at scale 1).
const RECT kKeyRects[] = {
    {48, 196, 112, 228}, {122, 196, 186, 228}, {196, 196, 260, 228}, {270, 196, 334, 228},
    {446, 52, 496, 100}, {392, 106, 440, 154}, {446, 106, 496, 154}, {502, 106, 550, 154},
    {446, 160, 496, 208}, {396, 264, 490, 316}, {506, 264, 600, 316},
};

void Mouse(HWND panel, UINT message, int key, WPARAM flags) {
    const RECT& r = kKeyRects[key];
    SendMessageA(panel, message, flags, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

void Click(HWND panel, int key, WPARAM flags = 0) {
    Mouse(panel, WM_LBUTTONDOWN, key, flags | MK_LBUTTON);
    RunFor(120);
    Mouse(panel, WM_LBUTTONUP, key, flags);
    RunFor(250);
}

// Saves the panel window as it is on the screen as a 24-bit bitmap file.
void SavePicture(HWND panel, const std::string& path) {
    RECT r;
    GetWindowRect(panel, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void Picture(HWND panel, const std::string& dir, const char* name) {
    RunFor(400);  // let the panel paint what the last messages changed
    static int step = 0;
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\%02d-%s.bmp", dir.c_str(), ++step, name);
    SavePicture(panel, path);
    std::printf("step %d: %s\n", step, name);
}

void PlayScript(HWND panel, const std::string& dir) {
    Picture(panel, dir, "menu");
    Click(panel, DOWN);
    Click(panel, OK);
    Click(panel, LEFT);
    Click(panel, LEFT);
    Picture(panel, dir, "threshold-edited");
    Click(panel, OK);
    Click(panel, START, MK_CONTROL);  // Ctrl+click latches START: it stays down
    RunFor(1200);
    Picture(panel, dir, "measuring-start-latched");
    SendMessageA(panel, WM_KEYUP, VK_CONTROL, 0);  // releasing Ctrl releases every key
    while (!g_device->Alarm()) RunFor(100);
    Picture(panel, dir, "alarm");
    Click(panel, STOP);
    Picture(panel, dir, "stopped");
    Click(panel, F4);
    Click(panel, F3);
    Picture(panel, dir, "reset-backlight-off");
    Click(panel, F3);
    Click(panel, F2);  // the menu, still at "Threshold"
    Click(panel, DOWN);
    Click(panel, DOWN);
    Click(panel, OK);
    Picture(panel, dir, "about");
}

// Runs the device until its panel window is closed, or plays the script. Leaving closes the
// panel (the transport's end).
int RunDevice(const char* scriptDir) {
    orphost::DllTransport link(OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY | OPT_COMM_UI);
    orphost::Panel panel(link, orphost::Panel::Options{3, 5000});  // the window may take seconds
    Device device(panel, [] { return static_cast<uint32_t>(GetTickCount()); });
    g_device = &device;
    if (!device.Start()) {
        std::printf("the panel did not announce itself\n");
        return 1;
    }
    HWND window = FindWindowA("ORPpanelWnd", nullptr);
    std::printf("demo device running in protocol mode 0x%02X\n", panel.Mode());

    if (scriptDir) {
        PlayScript(window, scriptDir);
    } else {
        while (window && IsWindow(window) && IsWindowVisible(window)) {
            device.Step();
            Sleep(10);
        }
    }
    g_device = nullptr;
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const bool scripted = argc > 2 && std::strcmp(argv[1], "--script") == 0;
    const int result = RunDevice(scripted ? argv[2] : nullptr);
    if (result == 0) std::printf("panel closed\n");
    return result;
}
