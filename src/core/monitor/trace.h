// Trace output and status line as seen from the portable core.
//
// The core formats diagnostics, appends the text to the panel's TRACE log (when logging is on,
// see monitor/log_files.h) and hands it to the panel's sink. The Win32 layer installs a sink
// that inserts it into the trace window; unit tests install one that records the texts. Without
// a sink the texts only reach the log.
#pragma once

#include <cstdarg>

#include "common/alloc.h"  // kOutOfMemoryText, the text every failed allocation reports
#include "monitor/monitor_output.h"

// Installs the sink for trace texts (nullptr drops them). Returns the previous sink.
TraceSink SetTraceSink(MonitorOutput& monitor, TraceSink sink);
// Installs the sink for status line texts (nullptr drops them). Returns the previous sink.
TraceSink SetStatusSink(MonitorOutput& monitor, TraceSink sink);

// printf-style formatting into a 1024-byte buffer (longer texts are cut), then the TRACE log
// and the sink. Returns the length of the text.
int Trace(MonitorOutput& monitor, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
int TraceV(MonitorOutput& monitor, const char* format, va_list args);
void StatusLine(MonitorOutput& monitor, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
