// Daily RXTX and TRACE logs. See log_files.h for the life of a log.
#include "monitor/log_files.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

void StandardClock(bool utc, stClockTime* out) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const int millis =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm parts{};
#if defined(_WIN32)
    const std::tm* got = utc ? std::gmtime(&seconds) : std::localtime(&seconds);
    if (got) parts = *got;
#else
    if (utc)
        gmtime_r(&seconds, &parts);
    else
        localtime_r(&seconds, &parts);
#endif
    *out = stClockTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                       parts.tm_min,         parts.tm_sec,     millis};
}

std::string Printf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args);
    return text;
}

// Appends the whole text in one write; the caller holds the lock. The file is unbuffered, so
// the line is with the system when this returns and survives the process ending right after.
void AppendLocked(stLogHandle* handle, const std::string& text) {
    if (!handle->file || handle->failed) return;
    std::fwrite(text.data(), 1, text.size(), handle->file);
}

int OpenLocked(const MonitorOutput& monitor, stLogHandle* handle, const char* name) {
    const stClockTime local = ClockNow(monitor, false);
    const char* logDir = monitor.settings.logDir;
    const std::string path = LogFileName(logDir, name, local);
    handle->file = logDir[0] ? std::fopen(path.c_str(), "ab") : nullptr;
    handle->failed = handle->file ? 0 : 1;
    if (!handle->file) return 0;
    std::setvbuf(handle->file, nullptr, _IONBF, 0);
    AppendLocked(handle, LogStartBanner(local));
    return 1;
}

void CloseLocked(stLogHandle* handle) {
    if (handle->file) std::fclose(handle->file);
    handle->file = nullptr;
    handle->failed = 0;
}

bool IsOpenOrFailed(const stLogHandle& handle) { return handle.file || handle.failed; }

}  // namespace

stClockTime ClockNow(const MonitorOutput& monitor, bool utc) {
    stClockTime time{};
    if (!monitor.platform.load()->ReadClock(utc, &time)) StandardClock(utc, &time);
    return time;
}

std::string LogFileName(const char* logDir, const char* name, const stClockTime& localDate) {
    return Printf("%s%c%s%02d.%02d.%02d.log", logDir, kPathSeparator, name, localDate.day,
                  localDate.month, localDate.year);
}

std::string StampLogLine(int kind, const stClockTime& utc, const char* text) {
    const char* format = kind == kLogRx   ? "[RX %02d:%03d] %s"
                         : kind == kLogTx ? "[TX %02d:%03d] %s"
                                          : "[Trace %02d:%03d] %s";
    return Printf(format, utc.second, utc.millisecond, text);
}

std::string LogStartBanner(const stClockTime& local) {
    return Printf("######## START %02d.%02d.%02d START ########\n", local.hour, local.minute,
                  local.second);
}

int OpenLogFile(MonitorOutput& monitor, stLogHandle* handle, const char* name) {
    std::lock_guard<std::mutex> lock(monitor.logMutex);
    CloseLocked(handle);
    return OpenLocked(monitor, handle, name);
}

void CloseLogFile(MonitorOutput& monitor, stLogHandle* handle) {
    std::lock_guard<std::mutex> lock(monitor.logMutex);
    CloseLocked(handle);
}

void ApplyLogSettings(MonitorOutput& monitor) {
    const stSettings& settings = monitor.settings;
    std::lock_guard<std::mutex> lock(monitor.logMutex);
    struct {
        int32_t enabled;
        stLogHandle* handle;
        const char* name;
    } const logs[] = {{settings.rxTxLog, &monitor.rxTxLogFile, kRxTxLogName},
                      {settings.traceLog, &monitor.traceLogFile, kTraceLogName}};
    for (const auto& log : logs) {
        // A log that failed to open stays failed until it is switched off.
        if (log.enabled && !IsOpenOrFailed(*log.handle))
            OpenLocked(monitor, log.handle, log.name);
        else if (!log.enabled && IsOpenOrFailed(*log.handle))
            CloseLocked(log.handle);
    }
}

void CloseLogFiles(MonitorOutput& monitor) {
    std::lock_guard<std::mutex> lock(monitor.logMutex);
    CloseLocked(&monitor.rxTxLogFile);
    CloseLocked(&monitor.traceLogFile);
}

bool LogIsWritten(MonitorOutput& monitor, int kind) {
    const stSettings& settings = monitor.settings;
    if (!(kind == kLogTrace ? settings.traceLog : settings.rxTxLog)) return false;
    std::lock_guard<std::mutex> lock(monitor.logMutex);
    const stLogHandle& handle = kind == kLogTrace ? monitor.traceLogFile : monitor.rxTxLogFile;
    return handle.file && !handle.failed;
}

int WriteLog(MonitorOutput& monitor, int kind, const char* text) {
    const stSettings& settings = monitor.settings;
    if (!settings.rxTxLog && !settings.traceLog) return 0;
    const std::string line = StampLogLine(kind, ClockNow(monitor, true), text ? text : "");
    std::lock_guard<std::mutex> lock(monitor.logMutex);
    stLogHandle* handle = kind == kLogTrace ? &monitor.traceLogFile : &monitor.rxTxLogFile;
    if (!handle->file || handle->failed) return 0;
    AppendLocked(handle, line);
    return 1;
}
