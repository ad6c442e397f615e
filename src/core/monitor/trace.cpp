#include "monitor/trace.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<TraceSink> g_traceSink{nullptr};
std::atomic<TraceSink> g_statusSink{nullptr};

void Emit(std::atomic<TraceSink>& sink, const char* format, va_list args) {
    TraceSink target = sink.load();
    if (!target) return;
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    target(text);
}
}  // namespace

TraceSink SetTraceSink(TraceSink sink) { return g_traceSink.exchange(sink); }
TraceSink SetStatusSink(TraceSink sink) { return g_statusSink.exchange(sink); }

void TraceV(const char* format, va_list args) { Emit(g_traceSink, format, args); }

void Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(g_traceSink, format, args);
    va_end(args);
}

void StatusLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(g_statusSink, format, args);
    va_end(args);
}
