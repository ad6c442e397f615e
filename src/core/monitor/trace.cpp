#include "monitor/trace.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "monitor/log_files.h"

namespace {
std::atomic<TraceSink> g_traceSink{nullptr};
std::atomic<TraceSink> g_statusSink{nullptr};

constexpr std::size_t kTextSize = 1024;

int Format(char (&text)[kTextSize], const char* format, va_list args) {
    std::memset(text, 0, sizeof text);
    std::vsnprintf(text, sizeof text, format, args);
    return static_cast<int>(std::strlen(text));
}
}  // namespace

TraceSink SetTraceSink(TraceSink sink) { return g_traceSink.exchange(sink); }
TraceSink SetStatusSink(TraceSink sink) { return g_statusSink.exchange(sink); }

int TraceV(const char* format, va_list args) {
    char text[kTextSize];
    const int length = Format(text, format, args);
    WriteLog(kLogTrace, text);
    if (TraceSink sink = g_traceSink.load()) sink(text);
    return length;
}

int Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int length = TraceV(format, args);
    va_end(args);
    return length;
}

void StatusLine(const char* format, ...) {
    TraceSink sink = g_statusSink.load();
    if (!sink) return;
    char text[kTextSize];
    va_list args;
    va_start(args, format);
    Format(text, format, args);
    va_end(args);
    sink(text);
}
