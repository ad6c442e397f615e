// The monitor of one panel: where its trace, status and Rx/Tx monitor texts go, the clock its
// logs are stamped with and its two daily log files.
//
// The texts go to the panel's platform (TraceText, StatusText, MonitorText) and the time comes
// from its clock; the platform is read by the host's thread, the serial reader and the
// user-interface thread, so its pointer is an atomic; the log handles are guarded by `logMutex`, which
// keeps a write from meeting a file that is being closed.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "common/platform.h"
#include "settings/settings.h"

struct stClockTime {
    int year, month, day;
    int hour, minute, second, millisecond;
};

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
    std::atomic<PanelPlatform*> platform{&NoPlatform()};  // never null

    std::mutex logMutex;
    stLogHandle rxTxLogFile{};
    stLogHandle traceLogFile{};
};
