#include "harness/panel_session.h"

#include <cstdio>
#include <deque>

namespace {
const char* const kSettingsKey = "Software\\Tavelle\\OrPpanel\\Settings";

unsigned char g_rxByte = 0;
std::string g_partial;
std::deque<std::string> g_frames;
bool g_escaped = false;
bool g_hostDestroyed = false;

void CollectByte() {
    g_partial += static_cast<char>(g_rxByte);
    bool wasEscaped = g_escaped;
    g_escaped = !wasEscaped && g_rxByte == 0x1B;
    if (g_rxByte == '\r' && !wasEscaped) {
        g_frames.push_back(g_partial);
        g_partial.clear();
    }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        g_hostDestroyed = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHostWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrpTestHost";
        registered = RegisterClassA(&wc) != 0;
    }
    g_hostDestroyed = false;
    return CreateWindowExA(0, "OrpTestHost", "Test host", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void SetString(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}
}  // namespace

std::string Printable(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c >= 0x21 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

std::string MakeTempWorkDir(const char* tag) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    // Process ids repeat across Wine sessions: take the first name that does not exist yet, so
    // every test starts in an empty directory.
    static unsigned counter = GetTickCount();
    char path[MAX_PATH];
    do {
        std::snprintf(path, sizeof path, "%sorp_%s_%lu_%u", base, tag, GetCurrentProcessId(), ++counter);
    } while (!CreateDirectoryA(path, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    return path;
}

void WriteTestSettings(const std::string& workDir, const TestSettings& settings) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    SetString(key, "RegistrySet", "1");
    SetString(key, "IFaceType", "0");
    SetString(key, "IFaceOpen", "0");
    SetString(key, "RxTx", settings.rxTx ? "1" : "0");
    SetString(key, "RxTxLog", settings.rxTxLog ? "1" : "0");
    SetString(key, "Trace", settings.trace ? "1" : "0");
    SetString(key, "TraceLog", settings.traceLog ? "1" : "0");
    SetString(key, "Scale", "1");
    SetString(key, "FileCfg", settings.fileCfg);
    SetString(key, "WrkDir", workDir);
    SetString(key, "HelpFile", settings.helpFile);
    SetString(key, "ContextHelpFile", settings.contextHelpFile);
    if (settings.commSettings) {
        SetString(key, "IFaceType", std::to_string(settings.ifaceType));
        SetString(key, "CommPort", std::to_string(settings.commPort));
        SetString(key, "CommBaud", std::to_string(settings.commBaud));
        SetString(key, "NetIp", settings.netIp);
        SetString(key, "NetPort", std::to_string(settings.netPort));
        SetString(key, "IFaceOpen", settings.ifaceOpen ? "1" : "0");
    }
    RegCloseKey(key);
}

PanelSession::PanelSession(unsigned long options, const TestSettings& settings,
                           void (*prepare)(const std::string& workDir)) {
    g_frames.clear();
    g_partial.clear();
    g_escaped = false;
    workDir_ = MakeTempWorkDir(settings.workDirTag.c_str());
    if (prepare) prepare(workDir_);
    if (!settings.keepKey) WriteTestSettings(workDir_, settings);
    hostWindow_ = CreateHostWindow();
    if (!dll_.Load(&error_)) return;
    dll_.Start(options);
    dll_.setRxTarget(CollectByte, &g_rxByte);
    ok_ = WaitUntil([] { return FindPanelWindow() != nullptr; });
    if (!ok_) error_ = "the panel window did not appear";
}

PanelSession::~PanelSession() {
    Stop();
    if (hostWindow_ && IsWindow(hostWindow_)) DestroyWindow(hostWindow_);
}

bool PanelSession::hostWindowDestroyed() const { return g_hostDestroyed; }

void PanelSession::Stop() { dll_.Unload(true); }

std::string PanelSession::NextFrame(DWORD timeoutMs) {
    WaitUntil(
        [this] {
            if (g_frames.empty() && dll_.module) dll_.checkRx();
            return !g_frames.empty();
        },
        timeoutMs);
    if (g_frames.empty()) return "";
    std::string frame = g_frames.front();
    g_frames.pop_front();
    return frame;
}

std::string PanelSession::PollFrame() {
    if (g_frames.empty() && dll_.module) dll_.checkRx();
    if (g_frames.empty()) return "";
    std::string frame = g_frames.front();
    g_frames.pop_front();
    return frame;
}

std::vector<std::string> PanelSession::FramesWithin(DWORD windowMs) {
    std::vector<std::string> frames;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < windowMs) {
        std::string frame = NextFrame(windowMs - (GetTickCount() - start));
        if (!frame.empty()) frames.push_back(frame);
    }
    return frames;
}

void PanelSession::Drain() {
    size_t before;
    do {
        before = g_frames.size();
        dll_.checkRx();
    } while (g_frames.size() != before);
    g_frames.clear();
}

bool PanelSession::AcknowledgeResetAnnouncement() {
    if (NextFrame() != "r\r") return false;
    Send("\x06\r");
    Drain();
    return true;
}
