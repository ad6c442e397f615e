// Daily RXTX and TRACE logs. See log_files.h for the life of a log.
#include "monitor/log_files.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "design/lcd_geometry.h"

namespace {

std::mutex g_logMutex;

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

std::atomic<ClockHook> g_clock{StandardClock};

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

// Appends the whole text in one write; the caller holds the lock.
void AppendLocked(stLogHandle* handle, const std::string& text) {
    if (!handle->file || handle->failed) return;
    std::fwrite(text.data(), 1, text.size(), handle->file);
    std::fflush(handle->file);
}

int OpenLocked(stLogHandle* handle, const char* name) {
    const stClockTime local = ClockNow(false);
    const std::string path = LogFileName(Settings().logDir, name, local);
    handle->file = Settings().logDir[0] ? std::fopen(path.c_str(), "ab") : nullptr;
    handle->failed = handle->file ? 0 : 1;
    if (!handle->file) return 0;
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

ClockHook SetClockHook(ClockHook hook) { return g_clock.exchange(hook ? hook : StandardClock); }

stClockTime ClockNow(bool utc) {
    stClockTime time{};
    g_clock.load()(utc, &time);
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

int OpenLogFile(stLogHandle* handle, const char* name) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    CloseLocked(handle);
    return OpenLocked(handle, name);
}

void CloseLogFile(stLogHandle* handle) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    CloseLocked(handle);
}

void ApplyLogSettings() {
    stSettings& settings = Settings();
    SetScaleFromSetting(settings.scale);
    std::lock_guard<std::mutex> lock(g_logMutex);
    struct {
        int32_t enabled;
        stLogHandle* handle;
        const char* name;
    } const logs[] = {{settings.rxTxLog, &settings.rxTxLogFile, kRxTxLogName},
                      {settings.traceLog, &settings.traceLogFile, kTraceLogName}};
    for (const auto& log : logs) {
        // A log that failed to open stays failed until it is switched off.
        if (log.enabled && !IsOpenOrFailed(*log.handle))
            OpenLocked(log.handle, log.name);
        else if (!log.enabled && IsOpenOrFailed(*log.handle))
            CloseLocked(log.handle);
    }
}

void CloseLogFiles() {
    std::lock_guard<std::mutex> lock(g_logMutex);
    CloseLocked(&Settings().rxTxLogFile);
    CloseLocked(&Settings().traceLogFile);
}

int WriteLog(int kind, const char* text) {
    stSettings& settings = Settings();
    if (!settings.rxTxLog && !settings.traceLog) return 0;
    const std::string line = StampLogLine(kind, ClockNow(true), text ? text : "");
    std::lock_guard<std::mutex> lock(g_logMutex);
    stLogHandle* handle = kind == kLogTrace ? &settings.traceLogFile : &settings.rxTxLogFile;
    if (!handle->file || handle->failed) return 0;
    AppendLocked(handle, line);
    return 1;
}
