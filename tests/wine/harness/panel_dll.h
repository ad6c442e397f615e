// Test harness: loads orppanel.dll from the test program's directory and resolves its six
// exports by their decorated names.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The core's option constants come first: the host header defines macros of the same names
// and values, which would otherwise rewrite the core's declarations in a test that includes both.
#include "common/options.h"
#include "orppanel.h"

struct PanelDll {
    using BindLcdDllFn = void (*)();
    using CheckRxFn = void (*)();
    using CloseFn = void (*)();
    using ReceiveFromAppFn = void (*)(unsigned char*, unsigned int);
    using SetOptionsFn = unsigned long (*)(stOrpOpts*);
    using SetRxTargetFn = void (*)(void (*)(), unsigned char*);

    HMODULE module = nullptr;
    BindLcdDllFn bindLcdDll = nullptr;
    CheckRxFn checkRx = nullptr;
    CloseFn close = nullptr;
    ReceiveFromAppFn receiveFromApp = nullptr;
    SetOptionsFn setOptions = nullptr;
    SetRxTargetFn setRxTarget = nullptr;

    // Loads the DLL and resolves every export; false (with a reason in `error`) on failure.
    bool Load(std::string* error);
    // Close (when `callClose`) and FreeLibrary; safe to call twice.
    void Unload(bool callClose = true);
    ~PanelDll() { Unload(); }

    unsigned long Start(unsigned long flags, unsigned long revision = 0) {
        stOrpOpts opts{revision, flags};
        return setOptions(&opts);
    }
    void Send(const std::string& bytes) {
        receiveFromApp(reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                       static_cast<unsigned int>(bytes.size()));
    }
};

// Full path of a file next to the test program.
std::string PathBesideTestProgram(const char* fileName);

// Polls `condition` every `intervalMs` (pumping this thread's messages) until it holds or
// `timeoutMs` passes. Returns the last result. Use a longer interval for conditions that are
// costly for the panel's thread to answer (reading a long window text).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000, DWORD intervalMs = 10);

// A top-level window of this process with that class, or null.
HWND FindTopLevelWindow(const char* className);
// The whole text of a window (also a 32 000-character edit); "" for null.
std::string WindowText(HWND window);
// The panel's main window (class "ORPpanelWnd") in this process, or null.
HWND FindPanelWindow();
// Number of threads of this process.
int ThreadCount();
