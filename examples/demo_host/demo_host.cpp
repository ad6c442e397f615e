// The demo device: a small measuring instrument whose firmware runs here, on the PC, while
// orppanel.dll shows its front panel (the design samples/make_demo_workdir.py writes).
//
// What a person can do on the panel:
//   ^ v       move through the menu on the LCD     OK     choose the marked entry
//   < >       change the alarm threshold while it is being edited
//   START     start the measurement: the value counts up on the LCD and RUN is lit
//   STOP      stop it                              past the threshold ALARM lights and it beeps
//   F1 value screen   F2 menu   F3 backlight on/off   F4 reset value and alarm
//
// The protocol is the host kit's (include/orppanel_host.h): after the panel's reset
// announcement the device switches to mode 0x1B (spontaneous key reports 0x01, acknowledged
// 0x02, sequence byte 0x08, CRC-16 0x10); the kit frames, checks and acknowledges, and calls
// OnKeyPressed for every key press the panel reports.
//
//   orp_demo_host.exe              runs until the panel window is closed
//   orp_demo_host.exe --script D   plays a short scripted session by itself and saves a
//                                  picture of the panel after each step in directory D
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "orppanel_host.h"

namespace {
constexpr uint8_t kDeviceMode = orphost::kModeKeyReports | orphost::kModeKeyAck | orphost::kModeSequence |
                                orphost::kModeCrc;
orphost::Panel* g_panel = nullptr;

// ---- the device ----------------------------------------------------------------------------
enum Key { F1, F2, F3, F4, UP, LEFT, OK, RIGHT, DOWN, START, STOP };
enum Led { LED_POWER = 0x01, LED_RUN = 0x02, LED_ALARM = 0x08, LED_COM = 0x10 };
enum Screen { MENU, VALUE, INFO };
const char* const kMenu[] = {"Measurement", "Threshold", "Backlight", "About"};
constexpr int kMenuItems = 4;

struct Device {
    Screen screen = MENU;
    int item = 0;
    bool editing = false;
    bool running = false;
    bool alarm = false;
    bool backlight = true;
    int value = 0;
    int threshold = 50;
    DWORD comLitUntil = 0;
    std::string shownLine[2];
    int shownLeds = -1;
} g_device;

void ShowLine(int row, std::string text) {
    text.resize(16, ' ');
    if (g_device.shownLine[row] == text) return;
    g_device.shownLine[row] = text;
    // 'S': the LCD instruction "set address" (0x80, line 2 at 0x40), then the characters.
    g_panel->InstructionAndText(row ? 0xC0 : 0x80, text);
}

void Render() {
    Device& d = g_device;
    char line[2][32];
    if (d.screen == MENU) {
        const int next = (d.item + 1) % kMenuItems;
        auto entry = [&](char* out, int i, char mark) {
            if (i == 1)
                std::snprintf(out, 32, "%c%s %c%d%c", mark, kMenu[i], d.editing && mark == '>' ? '<' : ' ',
                              d.threshold, d.editing && mark == '>' ? '>' : ' ');
            else if (i == 2)
                std::snprintf(out, 32, "%c%s %s", mark, kMenu[i], d.backlight ? "on" : "off");
            else
                std::snprintf(out, 32, "%c%s", mark, kMenu[i]);
        };
        entry(line[0], d.item, '>');
        entry(line[1], next, ' ');
    } else if (d.screen == VALUE) {
        std::snprintf(line[0], 32, "Value %5d %s", d.value, d.running ? "RUN" : "   ");
        std::snprintf(line[1], 32, d.alarm ? "ALARM  limit %d" : "limit %d", d.threshold);
    } else {
        std::snprintf(line[0], 32, "ORPpanel demo");
        std::snprintf(line[1], 32, "firmware 1.0");
    }
    ShowLine(0, line[0]);
    ShowLine(1, line[1]);

    int leds = LED_POWER | (d.running ? LED_RUN : 0) | (d.alarm ? LED_ALARM : 0) |
               (GetTickCount() < d.comLitUntil ? LED_COM : 0);
    if (leds != d.shownLeds) {
        d.shownLeds = leds;
        orphost::Bitmap states{};
        states[0] = static_cast<uint8_t>(leds);
        g_panel->Leds(states);
    }
}

void ToggleBacklight() {
    g_device.backlight = !g_device.backlight;
    g_panel->Backlight(g_device.backlight ? 255 : 0);
}

void OnKeyPressed(int key) {
    static const char* const names[] = {"F1", "F2", "F3", "F4", "up", "left", "OK", "right", "down", "START", "STOP"};
    if (key <= STOP) std::printf("key %s\n", names[key]);
    Device& d = g_device;
    switch (key) {
    case UP:
    case DOWN:
        if (d.screen != MENU) {
            d.screen = MENU;
        } else if (!d.editing) {
            d.item = (d.item + (key == UP ? kMenuItems - 1 : 1)) % kMenuItems;
        }
        break;
    case LEFT:
    case RIGHT:
        if (d.editing) d.threshold += key == RIGHT ? 10 : -10;
        if (d.threshold < 10) d.threshold = 10;
        break;
    case OK:
        if (d.screen != MENU) d.screen = MENU;
        else if (d.item == 0) d.screen = VALUE;
        else if (d.item == 1) d.editing = !d.editing;
        else if (d.item == 2) ToggleBacklight();
        else d.screen = INFO;
        break;
    case START:
        d.running = true;
        d.screen = VALUE;
        break;
    case STOP:
        d.running = false;
        break;
    case F1: d.screen = VALUE; break;
    case F2: d.screen = MENU; break;
    case F3: ToggleBacklight(); break;
    case F4:
        d.value = 0;
        d.alarm = false;
        break;
    }
}

// One pass of the firmware's main loop.
void Step() {
    static DWORD lastTick = GetTickCount();
    g_panel->Poll();  // key reports: OnKeyPressed runs from here
    Device& d = g_device;
    if (GetTickCount() - lastTick >= 100) {
        lastTick = GetTickCount();
        if (d.running) ++d.value;
        if (d.value > d.threshold && !d.alarm) {
            d.alarm = true;
            g_panel->Beep(6, 20);  // 6 x 50 ms at 20 x 100 Hz
        }
    }
    Render();
}

void RunFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        Step();
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
    while (!g_device.alarm) RunFor(100);
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
    g_panel = &panel;
    panel.onKeyDown = [](int key) {
        g_device.comLitUntil = GetTickCount() + 150;
        OnKeyPressed(key);
    };
    panel.onKeyUp = [](int) { g_device.comLitUntil = GetTickCount() + 150; };
    // A reset announcement puts the panel back to mode 0: take it over again.
    panel.onReset = [] { g_panel->SetMode(kDeviceMode); };
    if (!panel.WaitForReset()) {
        std::printf("the panel did not announce itself\n");
        return 1;
    }
    panel.ClickMode(1);  // key click on every key
    panel.Backlight(255);
    HWND window = FindWindowA("ORPpanelWnd", nullptr);
    std::printf("demo device running in protocol mode 0x%02X\n", panel.Mode());

    if (scriptDir) {
        PlayScript(window, scriptDir);
    } else {
        while (window && IsWindow(window) && IsWindowVisible(window)) {
            Step();
            Sleep(10);
        }
    }
    g_panel = nullptr;
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
