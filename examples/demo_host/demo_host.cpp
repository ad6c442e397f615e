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
// The protocol: after the panel's reset announcement the host switches to mode 0x1B
// (spontaneous key reports 0x01, acknowledged 0x02, sequence byte 0x08, CRC-16 0x10). Every
// frame then carries a sequence byte and a CRC; the panel repeats each key report until the
// host acknowledges it with an ACK that carries the report's sequence byte.
//
//   orp_demo_host.exe              runs until the panel window is closed
//   orp_demo_host.exe --script D   plays a short scripted session by itself and saves a
//                                  picture of the panel after each step in directory D
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "orppanel.h"

namespace {
// ---- protocol ------------------------------------------------------------------------------
constexpr unsigned char kDeviceMode = 0x1B;
constexpr unsigned char kAck = 0x06, kEsc = 0x1B, kCr = 0x0D;

unsigned char g_mode = 0;             // the protocol mode both sides use now
unsigned char g_hostSequence = '0';   // the host's own frames count '0'..'9', so they never
                                      // repeat the panel's sequence bytes ('d'..'x')
unsigned char g_rxByte = 0;
std::string g_rxRaw;
bool g_rxEscaped = false;
std::deque<std::string> g_received;  // unstuffed frames, CR removed

// CRC-16/XMODEM: polynomial 0x1021, start 0.
unsigned short Crc16(const std::string& bytes) {
    unsigned crc = 0;
    for (unsigned char b : bytes) {
        crc ^= static_cast<unsigned>(b) << 8;
        for (int i = 0; i < 8; ++i) crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) : (crc << 1);
    }
    return static_cast<unsigned short>(crc & 0xFFFF);
}

// Called by CheckRx once per byte; ESC makes the next byte data, even a CR.
void OnPanelByte() {
    const unsigned char b = g_rxByte;
    if (g_rxEscaped) {
        g_rxRaw += static_cast<char>(b);
        g_rxEscaped = false;
    } else if (b == kEsc) {
        g_rxEscaped = true;
    } else if (b == kCr) {
        g_received.push_back(g_rxRaw);
        g_rxRaw.clear();
    } else {
        g_rxRaw += static_cast<char>(b);
    }
}

// Frames a message in the current mode: sequence byte, CRC, ESC stuffing, CR.
void SendFramed(std::string message, unsigned char sequence) {
    if (g_mode & 0x08) message += static_cast<char>(sequence);
    if (g_mode & 0x10) {
        const unsigned short crc = Crc16(message);
        message += static_cast<char>(crc >> 8);
        message += static_cast<char>(crc & 0xFF);
    }
    std::string frame;
    for (char c : message) {
        if (c == static_cast<char>(kEsc) || c == static_cast<char>(kCr)) frame += static_cast<char>(kEsc);
        frame += c;
    }
    frame += static_cast<char>(kCr);
    ReceiveFromApp(reinterpret_cast<unsigned char*>(&frame[0]), static_cast<unsigned int>(frame.size()));
}

void Send(const std::string& message) {
    g_hostSequence = g_hostSequence == '9' ? '0' : static_cast<unsigned char>(g_hostSequence + 1);
    SendFramed(message, g_hostSequence);
}

// Takes one received frame apart: checks the CRC, strips sequence and check bytes.
bool NextMessage(std::string* message, unsigned char* sequence) {
    while (!g_received.empty()) {
        std::string f = g_received.front();
        g_received.pop_front();
        if (f.empty()) continue;
        *sequence = 0;
        if (f[0] != 'r' && (g_mode & 0x10)) {
            if (f.size() < 3 || Crc16(f) != 0) continue;  // damaged: the panel will repeat it
            f.resize(f.size() - 2);
        }
        if (f[0] != 'r' && (g_mode & 0x08) && f.size() >= 2) {
            *sequence = static_cast<unsigned char>(f.back());
            f.pop_back();
        }
        *message = f;
        return true;
    }
    return false;
}

// Polls the panel for `ms` milliseconds and returns the first message starting with `code`.
bool WaitFor(char code, DWORD ms, std::string* message = nullptr) {
    const DWORD start = GetTickCount();
    std::string m;
    unsigned char sequence;
    while (GetTickCount() - start < ms) {
        CheckRx();
        while (NextMessage(&m, &sequence))
            if (m[0] == code) {
                if (message) *message = m;
                return true;
            }
        Sleep(5);
    }
    return false;
}

// The reset announcement 'r' sets the panel's mode to 0: acknowledge it and switch to the
// device's mode again ('M' answered by 'm' in the old mode, then 'A' in the new one).
void TakeOverAfterReset() {
    g_mode = 0;
    SendFramed(std::string(1, static_cast<char>(kAck)), 0);
    Send(std::string("M") + static_cast<char>(kDeviceMode));
    WaitFor('m', 2000);
    g_mode = kDeviceMode;
    Send("A");
}

// ---- the device ----------------------------------------------------------------------------
enum Key { F1, F2, F3, F4, UP, LEFT, OK, RIGHT, DOWN, START, STOP };
enum Led { LED_POWER = 0x01, LED_RUN = 0x02, LED_ALARM = 0x08, LED_COM = 0x10 };
enum Screen { MENU, VALUE, INFO };
const char* const kMenu[] = {"Measurement", "Threshold", "Backlight", "About"};
constexpr int kMenuItems = 4;

struct Device {
    unsigned char keys[32] = {};  // key state as the panel reported it
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
    Send(std::string("S") + static_cast<char>(row ? 0xC0 : 0x80) + text);
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
        Send(std::string("L") + static_cast<char>(leds));  // a byte below 0x80: LEDs 0..6
    }
}

void ToggleBacklight() {
    g_device.backlight = !g_device.backlight;
    Send(std::string("B") + static_cast<char>(g_device.backlight ? 255 : 0));
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

// Stores one byte of a key report into the key state; each newly set bit is a key press.
// (A report can hold several states of the same byte: the panel merges the reports that wait
// for an acknowledgement, so a press and its release may arrive in one message.)
void StoreKeyByte(int index, unsigned char value) {
    const unsigned char pressed = static_cast<unsigned char>(value & ~g_device.keys[index]);
    g_device.keys[index] = value;
    for (int bit = 0; bit < 8; ++bit)
        if (pressed & (1 << bit)) OnKeyPressed(index * 8 + bit);
}

// A key report: acknowledge it, then apply its groups to the key state.
void OnKeyReport(const std::string& report, unsigned char sequence) {
    SendFramed(std::string(1, static_cast<char>(kAck)), sequence);
    g_device.comLitUntil = GetTickCount() + 150;
    for (size_t i = 1; i < report.size();) {
        const unsigned char h = static_cast<unsigned char>(report[i++]);
        if (!(h & 0x80)) {  // a byte below 0x80: bits 0..6 of byte 0, bit 7 stays
            StoreKeyByte(0, static_cast<unsigned char>((g_device.keys[0] & 0x80) | h));
            continue;
        }
        const int first = h & 0x1F, count = ((h >> 5) & 3) + 1;  // bytes first, first-1, ...
        if (first < count - 1 || report.size() - i < static_cast<size_t>(count)) break;
        for (int k = 0; k < count; ++k) StoreKeyByte(first - k, static_cast<unsigned char>(report[i++]));
    }
}

// One pass of the firmware's main loop.
void Step() {
    static DWORD lastTick = GetTickCount();
    CheckRx();
    std::string m;
    unsigned char sequence;
    while (NextMessage(&m, &sequence)) {
        if (m[0] == 'k') OnKeyReport(m, sequence);
        else if (m[0] == 'r') TakeOverAfterReset();
    }
    Device& d = g_device;
    if (GetTickCount() - lastTick >= 100) {
        lastTick = GetTickCount();
        if (d.running) ++d.value;
        if (d.value > d.threshold && !d.alarm) {
            d.alarm = true;
            Send("Z\x06\x14");  // beep: 6 x 50 ms at 20 x 100 Hz
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
}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const bool scripted = argc > 2 && std::strcmp(argv[1], "--script") == 0;

    stOrpOpts options = {0, OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY | OPT_COMM_UI};
    SetOptions(&options);
    SetRxTarget(OnPanelByte, &g_rxByte);
    if (!WaitFor('r', 15000)) {
        std::printf("the panel did not announce itself\n");
        Close();
        return 1;
    }
    TakeOverAfterReset();
    Send("E\x01");  // key click on every key
    Send("B\xFF");  // backlight on
    HWND panel = FindWindowA("ORPpanelWnd", nullptr);
    std::printf("demo device running in protocol mode 0x%02X\n", kDeviceMode);

    if (scripted) {
        PlayScript(panel, argv[2]);
    } else {
        while (panel && IsWindow(panel) && IsWindowVisible(panel)) {
            Step();
            Sleep(10);
        }
    }
    Close();
    std::printf("panel closed\n");
    return 0;
}
