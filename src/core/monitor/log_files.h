// The two daily log files, RXTX (every monitor line) and TRACE (every trace text).
//
// A log is opened when it is switched on (ApplyLogSettings at window creation and after the
// options dialog) and stays open until it is switched off or the process ends; the date in its
// name is the day it was opened. Each line is written with one unbuffered write, prefixed with
// the seconds and milliseconds of the UTC time. The host's thread, the serial reader and the
// user-interface thread all write, and the user-interface thread opens and closes, so one small
// lock keeps a write from meeting a file that is being closed. Both logs belong to the panel's
// MonitorOutput (monitor/monitor_output.h).
//
// Time comes from the platform's clock so tests can fix it; the Win32 layer reads GetLocalTime /
// GetSystemTime.
#pragma once

#include <string>

#include "monitor/monitor_output.h"

// The platform's time, or the standard library's when the platform has no clock.
stClockTime ClockNow(const MonitorOutput& monitor, bool utc);

enum LogKind { kLogRx = 1, kLogTx = 2, kLogTrace = 3 };

constexpr const char* kRxTxLogName = "RXTX";
constexpr const char* kTraceLogName = "TRACE";

// "<dir><separator><name><dd>.<mm>.<yyyy>.log" for the given local date.
std::string LogFileName(const char* logDir, const char* name, const stClockTime& localDate);
// "[RX ss:mmm] text", "[TX ss:mmm] text" or "[Trace ss:mmm] text".
std::string StampLogLine(int kind, const stClockTime& utc, const char* text);
// "######## START hh.mm.ss START ########\n" for the given local time.
std::string LogStartBanner(const stClockTime& local);

// Opens the log `name` of today in the settings' log directory (appending to a file of the same
// day) and writes the start banner. On failure the handle is marked failed. Returns 1 if open.
int OpenLogFile(MonitorOutput& monitor, stLogHandle* handle, const char* name);
void CloseLogFile(MonitorOutput& monitor, stLogHandle* handle);

// Opens the logs that the settings switch on and closes the ones they switch off.
void ApplyLogSettings(MonitorOutput& monitor);
// Closes both logs (process end, tests).
void CloseLogFiles(MonitorOutput& monitor);

// Whether a line of `kind` goes to an open log file now.
bool LogIsWritten(MonitorOutput& monitor, int kind);
// Appends one stamped line to the log of `kind` when logging is on. Returns 1 if written.
int WriteLog(MonitorOutput& monitor, int kind, const char* text);
