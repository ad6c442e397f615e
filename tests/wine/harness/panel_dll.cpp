#include "harness/panel_dll.h"

#include <tlhelp32.h>

std::string PathBesideTestProgram(const char* fileName) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    dir.erase(dir.find_last_of("\\/") + 1);
    return dir + fileName;
}

bool PanelDll::Load(std::string* error) {
    module = LoadLibraryA(PathBesideTestProgram("orppanel.dll").c_str());
    if (!module) {
        *error = "LoadLibrary failed: " + std::to_string(GetLastError());
        return false;
    }
    auto resolve = [&](const char* name, auto& slot) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
            reinterpret_cast<void*>(GetProcAddress(module, name)));
        if (!slot) *error += std::string("missing export ") + name + "\n";
    };
    resolve(ORPPANEL_NAME_BINDLCDDLL, bindLcdDll);
    resolve(ORPPANEL_NAME_CHECKRX, checkRx);
    resolve(ORPPANEL_NAME_CLOSE, close);
    resolve(ORPPANEL_NAME_RECEIVEFROMAPP, receiveFromApp);
    resolve(ORPPANEL_NAME_SETOPTIONS, setOptions);
    resolve(ORPPANEL_NAME_SETRXTARGET, setRxTarget);
    return error->empty();
}

void PanelDll::Unload(bool callClose) {
    if (!module) return;
    if (callClose && close) close();
    FreeLibrary(module);
    module = nullptr;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD intervalMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return condition();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(intervalMs);
    }
}

namespace {
struct WindowSearch {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (pid == search->process && lstrcmpA(cls, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindTopLevelWindow(const char* className) {
    WindowSearch search{GetCurrentProcessId(), className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindPanelWindow() { return FindTopLevelWindow("ORPpanelWnd"); }

int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    DWORD self = GetCurrentProcessId();
    for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == self) ++count;
    CloseHandle(snapshot);
    return count;
}

std::string WindowText(HWND window) {
    if (!window) return "";
    // The text may change between asking for its length and reading it: a read that fills the
    // whole buffer may have been cut, so it is repeated with the new length.
    std::string text;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const size_t capacity = static_cast<size_t>(GetWindowTextLengthA(window)) + 64;
        text.assign(capacity, '\0');
        int length = GetWindowTextA(window, &text[0], static_cast<int>(capacity));
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        if (text.size() + 1 < capacity) break;
    }
    return text;
}
