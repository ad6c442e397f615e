// Trace output and status line as seen from the portable core.
//
// The core formats diagnostics and hands the finished text to a sink. The Win32 layer installs
// a sink that writes to the trace window and the trace log; unit tests install one that records
// the texts. Without a sink the texts are dropped.
#pragma once

#include <cstdarg>

using TraceSink = void (*)(const char* text);

// Installs the sink for trace texts (nullptr drops them). Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);
// Installs the sink for status line texts (nullptr drops them). Returns the previous sink.
TraceSink SetStatusSink(TraceSink sink);

// printf-style formatting into a 1024-byte buffer (longer texts are cut), then the sink.
void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
void TraceV(const char* format, va_list args);
void StatusLine(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The text every failed allocation reports.
constexpr const char* kOutOfMemoryText = "Speicherplatzmangel\r\n";
