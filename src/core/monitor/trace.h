// Trace output and status line as seen from the portable core.
//
// The core formats diagnostics, appends the text to the TRACE log (when logging is on, see
// monitor/log_files.h) and hands it to a sink. The Win32 layer installs a sink that inserts it
// into the trace window; unit tests install one that records the texts. Without a sink the
// texts only reach the log.
#pragma once

#include <cstdarg>

using TraceSink = void (*)(const char* text);

// Installs the sink for trace texts (nullptr drops them). Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);
// Installs the sink for status line texts (nullptr drops them). Returns the previous sink.
TraceSink SetStatusSink(TraceSink sink);

// printf-style formatting into a 1024-byte buffer (longer texts are cut), then the TRACE log
// and the sink. Returns the length of the text.
int Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
int TraceV(const char* format, va_list args);
void StatusLine(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The text every failed allocation reports.
constexpr const char* kOutOfMemoryText = "Speicherplatzmangel\r\n";
