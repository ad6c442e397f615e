// The serial link.
//
// The port handle is shared by the link (which opened it), the reader thread and any write in
// progress on the host's or the user-interface thread. Each of them holds a share of the port
// record while it uses the handle, and the last one to let go closes it, so no thread ever
// reads or writes a handle that has been closed (and perhaps re-issued for another object).
//
// The reader thread pauses on a stop event rather than in a plain sleep, so a stop ends it at
// once; the link closes the port only after the reader has ended. When the library is unloaded
// without Close, the thread that unloads it holds the loader lock and no thread can exit: the
// reader then parks (having let go of everything) and is terminated where it waits.
#include "link/serial_link.h"

#include <process.h>

#include <atomic>
#include <cstdio>
#include <mutex>

#include "link/target_link.h"
#include "monitor/trace.h"
#include "api/dll_panel.h"

namespace {
constexpr DWORD kReaderPauseMs = 20;
// The reader ends within one read of a byte after its stop event; this only bounds a reader
// that is stuck for some other reason.
constexpr DWORD kReaderEndWaitMs = 2000;

struct stSerialPort {
    HANDLE handle;
    int users;  // guarded by g_portLock; the last user closes the handle
};

struct stSerialThread {
    stSerialReader reader;  // the raw frame buffer, its count and the reader's assembler
    stSerialPort* port;     // the reader's share of the port
    HANDLE stopEvent;       // set by SerialStop; the reader's pause waits on it
    HANDLE parked;          // set by a reader that parks instead of ending (unload)
    std::atomic<int> stop{0};
    std::atomic<int> park{0};  // set before `stop` when the library is being unloaded
};

std::mutex g_portLock;
stSerialPort* g_port = nullptr;      // the open link's port, null when closed; under g_portLock
stSerialThread* g_thread = nullptr;  // user-interface thread only
HANDLE g_threadHandle = nullptr;     // user-interface thread only

HANDLE CreatePort(int port) {
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// A share of the open port, or null when the link is closed.
stSerialPort* AcquirePort() {
    std::lock_guard<std::mutex> guard(g_portLock);
    if (g_port) ++g_port->users;
    return g_port;
}

void ReleasePort(stSerialPort* port) {
    bool last = false;
    {
        std::lock_guard<std::mutex> guard(g_portLock);
        last = --port->users == 0;
    }
    if (!last) return;
    SerialClosePort(port->handle);
    delete port;
}

void FreeThreadRecord(stSerialThread* record) {
    if (record->stopEvent) CloseHandle(record->stopEvent);
    if (record->parked) CloseHandle(record->parked);
    delete record;
}

unsigned __stdcall ReaderThread(void* argument) {
    auto* record = static_cast<stSerialThread*>(argument);
    const HANDLE handle = record->port->handle;
    while (!record->stop) {
        unsigned char byte = 0;
        DWORD got = 0;
        // A burst is drained without pauses; the thread rests only when nothing waits.
        while (!record->stop && ReadFile(handle, &byte, 1, &got, nullptr) && got == 1) {
            SerialReaderByte(DllPanel().protocol, &record->reader, byte);
            got = 0;
        }
        if (!record->stop) WaitForSingleObject(record->stopEvent, kReaderPauseMs);
    }
    ReleasePort(record->port);
    if (record->park) {
        SetEvent(record->parked);
        for (;;) Sleep(INFINITE);
    }
    return 0;
}

// Stops the reader and waits until it no longer runs: ended, or parked and terminated. A reader
// that does not stop in time keeps its record (and its share of the port).
void EndReader(stSerialThread* record, HANDLE thread, bool unloading) {
    record->park = unloading ? 1 : 0;
    record->stop = 1;
    SetEvent(record->stopEvent);
    bool stopped = false;
    if (unloading) {
        stopped = WaitForSingleObject(record->parked, kReaderEndWaitMs) == WAIT_OBJECT_0;
        TerminateThread(thread, 0);
    } else {
        stopped = WaitForSingleObject(thread, kReaderEndWaitMs) == WAIT_OBJECT_0;
    }
    CloseHandle(thread);
    if (stopped) FreeThreadRecord(record);
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
    if (!SetCommTimeouts(handle, &timeouts)) Trace(DllPanel().monitor, "Failed in call to SetCommTimeouts\n");
    return handle;
}

void SerialClosePort(HANDLE port) {
    if (!CloseHandle(port))
        Trace(DllPanel().monitor, "Failed to close up the comms port, GetLastError:%d\n", static_cast<int>(GetLastError()));
}

bool SerialIsOpen() {
    std::lock_guard<std::mutex> guard(g_portLock);
    return g_port != nullptr;
}

bool SerialStart(int port, DWORD baud) {
    HANDLE handle = SerialOpenPort(port, baud);
    if (handle == INVALID_HANDLE_VALUE) return false;
    auto* shared = new stSerialPort{handle, 2};  // the link's share and the reader's
    auto* record = new stSerialThread;
    ResetSerialReader(&record->reader);
    record->port = shared;
    record->stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    record->parked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uintptr_t thread = 0;
    if (record->stopEvent && record->parked) thread = _beginthreadex(nullptr, 0, ReaderThread, record, 0, nullptr);
    if (!thread) {
        FreeThreadRecord(record);
        delete shared;
        SerialClosePort(handle);
        return false;
    }
    g_threadHandle = reinterpret_cast<HANDLE>(thread);
    g_thread = record;
    std::lock_guard<std::mutex> guard(g_portLock);
    g_port = shared;
    return true;
}

void SerialStop(bool unloading) {
    stSerialPort* port = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_portLock);
        port = g_port;
        g_port = nullptr;  // writes from now on find the link closed
    }
    if (!port) return;
    if (g_thread) EndReader(g_thread, g_threadHandle, unloading);
    g_thread = nullptr;
    g_threadHandle = nullptr;
    ReleasePort(port);  // closes the port, or leaves that to a write still under way
}

void SerialWrite(const unsigned char* bytes, unsigned int count) {
    if (!count) return;
    stSerialPort* port = AcquirePort();
    if (!port) return;
    DWORD written = 0;
    WriteFile(port->handle, bytes, count, &written, nullptr);
    ReleasePort(port);
}
