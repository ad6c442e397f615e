// The serial link: the COM port, its configuration, and the reader thread that takes the
// target's bytes off the line (the byte loop itself is the core's SerialReaderByte).
//
// Threads: open, close and the reader's start and stop run on the user-interface thread;
// SerialWrite runs on the user-interface thread (the host's frames, forwarded during the
// hand-over, and injected commands); the reader thread only reads. The handle stays open until
// the last of them has finished with it, so a write from any thread stays safe.
#pragma once

#include <windows.h>

// Opens "\\.\COM<port>" without configuring it; INVALID_HANDLE_VALUE on failure.
HANDLE SerialProbePort(int port);
// Opens and configures the port (8 data bits, no parity, one stop bit, no flow control, reads
// that return at once). INVALID_HANDLE_VALUE on failure.
HANDLE SerialOpenPort(int port, DWORD baud);
// Closes a port handle; traces a failure.
void SerialClosePort(HANDLE port);

// Whether the process-wide port is open.
bool SerialIsOpen();
// Opens the process-wide port and starts the reader thread. False when the port could not
// be opened (nothing traced here).
bool SerialStart(int port, DWORD baud);
// Marks the port closed, ends the reader thread, then closes the port (or leaves that to a
// write still under way). `unloading`: the library is being unloaded and another thread holds
// the loader lock, so the reader cannot exit; it is stopped without waiting for its exit.
void SerialStop(bool unloading = false);
// Writes bytes to the open port (nothing when it is closed).
void SerialWrite(const unsigned char* bytes, unsigned int count);
