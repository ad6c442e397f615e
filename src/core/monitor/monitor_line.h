// The Rx/Tx monitor: one readable line per frame that passes between host and panel.
//
// A line starts with the command letter (or ACK / NAK), shows text commands ('W', 'S') as text
// and everything else as hex, marks the trailer bytes of the active protocol mode in braces
// (sequence byte and checksum as {xx}, the CRC pair as {xx xx}), brackets every ESC with the
// byte it escapes ([1b 0d]) and ends with END at the frame's CR. The line is built in a string
// sized for the frame, so a frame of any length is shown whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "monitor/monitor_output.h"

// The line for `count` bytes travelling in `direction`, ending in "\r\n". `activeMode` is the
// protocol mode in force; a mode change request from the host ('A') is shown in the pending mode
// it asks for, a reset ('R') in mode 0.
std::string FormatMonitorLine(int direction, const uint8_t* bytes, std::size_t count,
                              int activeMode, int pendingMode);

// Formats the frame with the protocol modes the caller passes (those in force when the bytes
// travel), writes it to the RXTX log and hands it to the platform. An empty frame shows nothing.
// The DLL's platform passes the modes the host link reports with each frame.
void Monitor(MonitorOutput& monitor, int direction, const uint8_t* bytes, unsigned int count,
             int activeMode, int pendingMode);
