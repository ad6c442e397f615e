#include "bench_parts.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "../bench_panel.h"
#include "common/alloc.h"
#include "monitor/log_files.h"
#include "monitor/monitor_line.h"
#include "protocol/message_queue.h"

namespace {
const uint8_t kLine[] = "W0123456789abcdef\r";
constexpr unsigned kLineLength = sizeof kLine - 1;

// Opens the panel's RXTX log in a fresh folder below the temporary directory.
void OpenBenchLog(stPanel& panel) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    std::snprintf(panel.settings.logDir, sizeof panel.settings.logDir, "%sorp_bench_log_%lu", base,
                  GetCurrentProcessId());
    CreateDirectoryA(panel.settings.logDir, nullptr);
    panel.settings.rxTxLog = 1;
    ApplyLogSettings(panel.monitor);
}
}  // namespace

std::vector<BenchPart> HostPathParts(HWND otherThreadWindow) {
    stPanel& panel = BenchPanel();
    OpenBenchLog(panel);
    static MessageQueue queue;
    static std::string line;
    return {
        {"monitor line of a 16-character 'W' formatted",
         [] { line = FormatMonitorLine(MONITOR_HOST_TO_PANEL, kLine, kLineLength, 0, 0); }},
        {"log time stamp read and formatted",
         [&panel] { line = StampLogLine(kLogRx, ClockNow(panel.monitor, true), "W0123456789abcdef END\r\n"); }},
        {"RXTX log line written and flushed",
         [&panel] { WriteLog(panel.monitor, kLogRx, "W0123456789abcdef END\r\n"); }},
        {"frame copied into a queue and removed",
         [] {
             queue.Append(BenchPanel().heap, kLine, kLineLength);
             queue.Remove(queue.Front());
         }},
        {"monitor line posted to another thread",
         [otherThreadWindow] {
             char* copy = OrpStrDup(BenchPanel().heap, "W0123456789abcdef END\r\n");
             if (!PostMessageA(otherThreadWindow, kBenchPostedText, 0, reinterpret_cast<LPARAM>(copy))) OrpFree(copy);
         }},
    };
}
