// A minimal host application for orppanel.dll: it plays the device firmware.
//
// It passes the options, registers its receive callback, acknowledges the panel's reset
// announcement, writes two lines of text to the LCD, lights some LEDs, asks for the version and
// the model, polls for the panel's answers for a while, prints every message it received and
// closes the panel.
//
//   orp_demo_host.exe [seconds]      (default 3 seconds of polling)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "orppanel.h"

namespace {
unsigned char g_rxByte = 0;
std::string g_rxFrame;
std::string g_lastFrame;
bool g_escaped = false;  // the previous byte was ESC: this one is data, even a CR
int g_framesReceived = 0;

std::string Printable(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

// Called by CheckRx once per byte of a panel message; a message ends with a CR that no ESC
// precedes (ESC CR and ESC ESC stand for data bytes).
void OnPanelByte() {
    g_rxFrame += static_cast<char>(g_rxByte);
    bool wasEscaped = g_escaped;
    g_escaped = !wasEscaped && g_rxByte == 0x1B;
    if (g_rxByte == '\r' && !wasEscaped) {
        ++g_framesReceived;
        std::printf("panel -> host: %s\n", Printable(g_rxFrame).c_str());
        g_lastFrame = g_rxFrame;
        g_rxFrame.clear();
    }
}

void Send(const std::string& frame) {
    std::printf("host -> panel: %s\n", Printable(frame).c_str());
    ReceiveFromApp(reinterpret_cast<unsigned char*>(const_cast<char*>(frame.data())),
                   static_cast<unsigned int>(frame.size()));
}

bool WaitForFrame(const std::string& frame, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        CheckRx();
        if (g_lastFrame == frame) return true;
        Sleep(10);
    }
    std::printf("no %s from the panel within %lu ms\n", Printable(frame).c_str(), milliseconds);
    return false;
}

void PollFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        CheckRx();
        Sleep(10);
    }
}
}  // namespace

int main(int argc, char** argv) {
    DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 3;
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    stOrpOpts options = {0, OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY | OPT_COMM_UI};
    unsigned long previous = SetOptions(&options);
    std::printf("SetOptions -> previous options 0x%lX\n", previous);
    SetRxTarget(OnPanelByte, &g_rxByte);
    // The panel announces its reset ("r") once its window is up and repeats it until the host
    // acknowledges it.
    WaitForFrame("r\r", 10000);
    Send("\x06\r");

    Send("V\r");                 // ask for the version
    Send("T\r");                 // ask for the model values
    Send("D\x01\r");             // LCD instruction: clear display
    Send("WHello, panel!\r");    // LCD data: text on the first line
    Send("D\xC0\r");             // LCD instruction: DDRAM address 0x40, the second line
    Send("WORPpanel demo\r");
    Send("O\x55\r");             // LEDs: every other LED on
    PollFor(seconds * 1000);

    Close();
    std::printf("received %d message(s); panel closed\n", g_framesReceived);
    return 0;
}
