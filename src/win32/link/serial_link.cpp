// The serial link. The reader thread owns a thread record of its own, allocated when it starts
// and freed by the thread when it ends, so that a stop followed at once by a new start never
// shares a record with a reader that is still winding down.
#include "link/serial_link.h"

#include <process.h>

#include <atomic>
#include <cstdio>

#include "link/target_link.h"
#include "monitor/trace.h"

namespace {
constexpr DWORD kReaderPauseMs = 20;

struct stSerialThread {
    stSerialReader reader;      // the raw frame buffer, its count and the reader's assembler
    std::atomic<int> stop;      // set by the user-interface thread, read by the reader
    HANDLE port;                // the reader's copy of the port handle
};

// The open port: written by the user-interface thread, read by the writing threads.
std::atomic<HANDLE> g_port{INVALID_HANDLE_VALUE};
stSerialThread* g_thread = nullptr;  // user-interface thread only
HANDLE g_threadHandle = nullptr;     // user-interface thread only
// The reader never blocks (reads return at once), so it ends within one pause after the stop
// flag; waiting for it keeps its code from running after the library is unloaded.
constexpr DWORD kReaderEndWaitMs = 2000;

HANDLE CreatePort(int port) {
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

unsigned __stdcall ReaderThread(void* argument) {
    auto* record = static_cast<stSerialThread*>(argument);
    while (!record->stop) {
        unsigned char byte = 0;
        DWORD got = 0;
        // A burst is drained without pauses; the thread rests only when nothing waits.
        while (!record->stop && ReadFile(record->port, &byte, 1, &got, nullptr) && got == 1) {
            SerialReaderByte(&record->reader, byte);
            got = 0;
        }
        if (!record->stop) Sleep(kReaderPauseMs);
    }
    record->port = INVALID_HANDLE_VALUE;
    delete record;
    return 0;
}
}  // namespace

HANDLE SerialProbePort(int port) { return CreatePort(port); }

HANDLE SerialOpenPort(int port, DWORD baud) {
    HANDLE handle = CreatePort(port);
    if (handle == INVALID_HANDLE_VALUE) return handle;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(handle, &dcb);
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetCommState(handle, &dcb);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;  // a read returns at once with what has arrived
    if (!SetCommTimeouts(handle, &timeouts)) Trace("Failed in call to SetCommTimeouts\n");
    return handle;
}

void SerialClosePort(HANDLE port) {
    if (!CloseHandle(port))
        Trace("Failed to close up the comms port, GetLastError:%d\n", static_cast<int>(GetLastError()));
}

bool SerialIsOpen() { return g_port.load() != INVALID_HANDLE_VALUE; }

bool SerialStart(int port, DWORD baud) {
    HANDLE handle = SerialOpenPort(port, baud);
    if (handle == INVALID_HANDLE_VALUE) return false;
    auto* record = new stSerialThread;
    ResetSerialReader(&record->reader);
    record->stop = 0;
    record->port = handle;
    uintptr_t thread = _beginthreadex(nullptr, 0, ReaderThread, record, 0, nullptr);
    if (!thread) {
        delete record;
        SerialClosePort(handle);
        return false;
    }
    g_threadHandle = reinterpret_cast<HANDLE>(thread);
    g_thread = record;
    g_port = handle;
    return true;
}

void SerialStop() {
    HANDLE handle = g_port.exchange(INVALID_HANDLE_VALUE);
    if (handle == INVALID_HANDLE_VALUE) return;
    if (g_thread) g_thread->stop = 1;
    g_thread = nullptr;
    SerialClosePort(handle);
    if (g_threadHandle) {
        WaitForSingleObject(g_threadHandle, kReaderEndWaitMs);
        CloseHandle(g_threadHandle);
        g_threadHandle = nullptr;
    }
}

void SerialWrite(const unsigned char* bytes, unsigned int count) {
    HANDLE handle = g_port;
    if (handle == INVALID_HANDLE_VALUE || !count) return;
    DWORD written = 0;
    WriteFile(handle, bytes, count, &written, nullptr);
}
