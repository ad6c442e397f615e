// The monitor of one panel: where its trace, status and Rx/Tx monitor texts go, the clock its
// logs are stamped with and its two daily log files.
//
// The sinks and the clock are read by the host's thread, the serial reader and the
// user-interface thread, so they are atomics; the log handles are guarded by `logMutex`, which
// keeps a write from meeting a file that is being closed.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "settings/settings.h"

struct stClockTime {
    int year, month, day;
    int hour, minute, second, millisecond;
};

// Fills `time` with the local time (utc false) or the UTC time (utc true).
using ClockHook = void (*)(bool utc, stClockTime* time);
// Receives one trace or status text.
using TraceSink = void (*)(const char* text);
// Receives one finished monitor line for a direction: the Win32 layer appends it to the monitor
// window's edit for the direction; tests record them.
using MonitorSink = void (*)(int direction, const char* line);

// One daily log file. `file` is null while the log is closed; `failed` is set when opening it
// failed, and then every write is skipped until the log is switched off again.
struct stLogHandle {
    std::FILE* file;
    int32_t failed;
};

struct MonitorOutput {
    // The logs follow the switches and the log directory of the panel's settings record.
    explicit MonitorOutput(const stSettings& panelSettings) : settings(panelSettings) {}
    MonitorOutput(const MonitorOutput&) = delete;
    MonitorOutput& operator=(const MonitorOutput&) = delete;

    const stSettings& settings;
    std::atomic<TraceSink> traceSink{nullptr};   // nullptr: trace texts reach only the log
    std::atomic<TraceSink> statusSink{nullptr};  // nullptr drops status texts
    std::atomic<MonitorSink> monitorSink{nullptr};
    std::atomic<ClockHook> clock{nullptr};       // nullptr: the standard library clock

    std::mutex logMutex;
    stLogHandle rxTxLogFile{};
    stLogHandle traceLogFile{};
};
