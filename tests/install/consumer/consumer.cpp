// A host on the installed headless panel and host kit: sets a mode with sequence bytes and
// CRC, writes text and reads the address counter and the version back. Prints "ok".
#include <cstdio>

#include "orppanel_host.h"

int main() {
    orph_panel* device = orph_open();
    if (!device) return std::puts("orph_open failed"), 1;
    orphost::HeadlessTransport link(device);
    orphost::Panel panel(link, orphost::Panel::Options{3, 1});
    if (!panel.WaitForReset() || !panel.SetMode(orphost::kModeSequence | orphost::kModeCrc))
        return std::puts("no mode set-up"), 1;
    const bool written = panel.Text("installed").kind == orphost::Answer::Ack && panel.ReadAddress() == 9;
    const auto version = panel.Version();
    orph_close(device);
    if (!written || !version || (*version)[0] != 1) return std::puts("unexpected answers"), 1;
    std::puts("ok");
    return 0;
}
