#include "monitor/trace.h"

#include <cstdio>
#include <cstring>

#include "monitor/log_files.h"

namespace {
constexpr std::size_t kTextSize = 1024;

int Format(char (&text)[kTextSize], const char* format, va_list args) {
    std::memset(text, 0, sizeof text);
    std::vsnprintf(text, sizeof text, format, args);
    return static_cast<int>(std::strlen(text));
}
}  // namespace

int TraceV(MonitorOutput& monitor, const char* format, va_list args) {
    char text[kTextSize];
    const int length = Format(text, format, args);
    WriteLog(monitor, kLogTrace, text);
    monitor.platform.load()->TraceText(text);
    return length;
}

int Trace(MonitorOutput& monitor, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = TraceV(monitor, format, args);
    va_end(args);
    return length;
}

void StatusLine(MonitorOutput& monitor, const char* format, ...) {
    char text[kTextSize];
    va_list args;
    va_start(args, format);
    Format(text, format, args);
    va_end(args);
    monitor.platform.load()->StatusText(text);
}
