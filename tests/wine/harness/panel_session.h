// A running panel for Wine tests: registry settings under HKCU pointing at a fresh work
// directory, a host window of the test's own thread, the DLL started with given options, and a
// receive callback that collects the panel's frames.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/panel_dll.h"

// Settings written under HKCU\Software\Tavelle\OrPpanel\Settings before the DLL starts.
struct TestSettings {
    std::string fileCfg;        // design to open at start ("" = none)
    bool rxTx = false;          // show the monitor at start
    bool trace = false;         // show the trace window at start
    bool rxTxLog = false;
    bool traceLog = false;
    std::string workDirTag = "panel";  // part of the work directory's name (Windows-1252)
    std::string helpFile;         // "HelpFile"
    std::string contextHelpFile;  // "ContextHelpFile"
    // Communication settings (written only when `commSettings` is set).
    bool commSettings = false;
    int ifaceType = 0;          // 0 serial, 1 network
    int commPort = 1;
    int commBaud = 9600;
    std::string netIp = "0.0.0.0";
    int netPort = 0;
    bool ifaceOpen = false;     // connect at the first activation
    bool keepKey = false;       // the test wrote the key itself: leave it as it is
};

// Replaces the settings key's values (deleting the old key first).
void WriteTestSettings(const std::string& workDir, const TestSettings& settings);
// A new empty directory below the system's temporary directory.
std::string MakeTempWorkDir(const char* tag);

class PanelSession {
public:
    // Creates the host window, writes the settings, loads the DLL and calls SetOptions and
    // SetRxTarget. `ok()` tells whether all of it worked.
    // `prepare` runs on the new work directory before the DLL is loaded (may be null).
    PanelSession(unsigned long options, const TestSettings& settings = TestSettings{},
                 void (*prepare)(const std::string& workDir) = nullptr);
    ~PanelSession();

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    PanelDll& dll() { return dll_; }
    const std::string& workDir() const { return workDir_; }
    HWND hostWindow() const { return hostWindow_; }
    bool hostWindowDestroyed() const;
    HWND panel() const { return FindPanelWindow(); }

    // Sends raw bytes (one frame) to the panel.
    void Send(const std::string& frame) { dll_.Send(frame); }
    // Calls CheckRx until a frame arrives or `timeoutMs` passes; returns it ("" on timeout).
    std::string NextFrame(DWORD timeoutMs = 10000);
    // Calls CheckRx once if nothing waits; the next frame, or "" (no waiting, no pumping).
    std::string PollFrame();
    // Every frame that arrives within `windowMs`.
    std::vector<std::string> FramesWithin(DWORD windowMs);
    // Calls CheckRx until the to-host queue is empty.
    void Drain();
    // Waits for the reset announcement, acknowledges it and drains what is queued.
    bool AcknowledgeResetAnnouncement();

    // Close, FreeLibrary (idempotent).
    void Stop();

private:
    PanelDll dll_;
    std::string workDir_;
    HWND hostWindow_ = nullptr;
    bool ok_ = false;
    std::string error_;
};

// "v<01><00><00><0D>": a readable form of a frame for assertion messages.
std::string Printable(const std::string& bytes);
