// Monitor lines for arbitrary frames, directions and modes: the line must stay within its
// size bound and end in CR LF.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "monitor/monitor_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int direction = (data[0] & 1) ? MONITOR_HOST_TO_PANEL : MONITOR_PANEL_TO_HOST;
    const int mode = data[1];
    const std::string line = FormatMonitorLine(direction, data + 2, size - 2, mode, mode ^ 0x1C);
    if (line.size() > (size - 2) * 5 + 16) std::abort();
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) std::abort();
    return 0;
}
