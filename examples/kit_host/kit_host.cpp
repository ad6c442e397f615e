// The shortest complete host: the example of docs/writing-a-host.md, built with the DLL so
// that it stays true. It switches to sequence bytes and CRC-16, greets on the LCD, shows the
// version, lights the LED of each key while it is held and ends after `seconds` (default 3).
// With OPT_LINK_SETUP_MSG the panel tells the kit when it connects target hardware, so the
// mode is set up with the target too.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "orppanel_host.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 3;
    orphost::DllTransport link(OPT_ENGLISH | OPT_FILE_COMMANDS | OPT_LCD_LIBRARY | OPT_LINK_SETUP_MSG);
    orphost::Panel panel(link);
    panel.onKeyDown = [&](int id) { std::printf("key %d down\n", id); panel.Led(id, true); };
    panel.onKeyUp = [&](int id) { std::printf("key %d up\n", id); panel.Led(id, false); };

    if (!panel.WaitForReset()) return std::puts("the panel did not announce itself"), 1;
    if (!panel.SetMode(orphost::kModeKeyReports | orphost::kModeKeyAck | orphost::kModeSequence |
                       orphost::kModeCrc))
        return std::puts("the panel refused the protocol mode"), 1;
    panel.Clear();
    panel.Text("Hello, panel!");
    if (auto version = panel.Version()) {
        char line[17];
        std::snprintf(line, sizeof line, "Version %u.%u.%u", (*version)[0], (*version)[1], (*version)[2]);
        panel.GoTo(1, 0);
        panel.Text(line);
        std::printf("%s\n", line);
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        panel.Poll();  // key reports: the callbacks above run from here
        link.Idle();
    }
    std::printf("%u frames received, %u repeated\n", panel.Statistics().framesReceived,
                panel.Statistics().repeats);
    return 0;
}
