// Trace output and status line as seen from the portable core.
//
// The core formats diagnostics, appends the text to the panel's TRACE log (when logging is on,
// see monitor/log_files.h) and hands it to the panel's platform (TraceText), which the Win32
// layer inserts into the trace window and unit tests record.
#pragma once

#include <cstdarg>

#include "common/alloc.h"  // kOutOfMemoryText, the text every failed allocation reports
#include "monitor/monitor_output.h"

// printf-style formatting into a 1024-byte buffer (longer texts are cut), then the TRACE log
// and the platform. Returns the length of the text.
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
