// The settings key, the Rx/Tx monitor and trace windows and the daily log files, as a host and
// a person see them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "harness/panel_dll.h"
#include "harness/panel_session.h"

namespace {

constexpr const char* kKey = "Software\\Tavelle\\OrPpanel\\Settings";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TodaysLog(const std::string& workDir, const char* name) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\log\\%s%02d.%02d.%02d.log", workDir.c_str(), name,
                  now.wDay, now.wMonth, now.wYear);
    return path;
}

// The value as stored, or "<missing>".
std::string StoredValue(HKEY root, const char* name, DWORD* type = nullptr) {
    HKEY key;
    if (RegOpenKeyExA(root, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
    char data[512];
    DWORD size = sizeof data;
    DWORD kind = 0;
    const LONG result =
        RegQueryValueExA(key, name, nullptr, &kind, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "<missing>";
    if (type) *type = kind;
    std::string value(data, size);
    while (!value.empty() && value.back() == '\0' && kind == REG_SZ) value.pop_back();
    return value;
}

void PutValue(HKEY root, const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(OutputWindows, MonitorTraceAndLogsShowWhatPasses) {
    TestSettings settings;
    settings.rxTx = settings.trace = settings.rxTxLog = settings.traceLog = true;
    settings.fileCfg = "C:\\no\\such\\design.orp";
    PanelSession session(OPT_ENGLISH, settings);
    ASSERT_TRUE(session.ok()) << session.error();

    HWND monitor = nullptr;
    HWND trace = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        monitor = FindTopLevelWindow("ORPpanelMonitorWnd");
        trace = FindTopLevelWindow("ORPpanelTraceWnd");
        return monitor && trace && IsWindowVisible(monitor) && IsWindowVisible(trace);
    })) << "monitor and trace windows were not shown at start";
    EXPECT_EQ("Messages received by the ORPpanel                       "
              "Messages sent by the ORppanel     ",
              WindowText(monitor));
    EXPECT_EQ("TraceWnd", WindowText(trace));
    EXPECT_EQ(session.panel(), GetWindow(monitor, GW_OWNER));
    HWND rx = GetDlgItem(monitor, 1);
    HWND tx = GetDlgItem(monitor, 2);
    HWND traceText = GetDlgItem(trace, 3);
    ASSERT_TRUE(rx && tx && traceText);
    RECT left, right;
    GetWindowRect(rx, &left);
    GetWindowRect(tx, &right);
    EXPECT_LE(left.right, right.left) << "the two columns sit side by side";

    // The missing design of the settings is reported in the trace window and the trace log.
    EXPECT_TRUE(WaitUntil([&] { return Contains(WindowText(traceText), "design.orp"); }))
        << WindowText(traceText);

    ASSERT_TRUE(session.AcknowledgeResetAnnouncement());
    session.Send("WHi\r");
    const std::string reply = session.NextFrame();
    EXPECT_EQ(0x06, reply.empty() ? 0 : reply[0]) << Printable(reply);
    EXPECT_TRUE(WaitUntil([&] { return Contains(WindowText(rx), "W Hi END\r\n"); }))
        << WindowText(rx);
    EXPECT_TRUE(WaitUntil([&] { return Contains(WindowText(tx), "ACK "); })) << WindowText(tx);

    const std::string rxTxLog = ReadFile(TodaysLog(session.workDir(), "RXTX"));
    EXPECT_EQ(0u, rxTxLog.find("######## START ")) << rxTxLog;
    EXPECT_TRUE(Contains(rxTxLog, "] W Hi END\r\n")) << rxTxLog;
    const std::size_t rxStamp = rxTxLog.find("[RX ");
    ASSERT_NE(std::string::npos, rxStamp) << rxTxLog;
    EXPECT_EQ(':', rxTxLog[rxStamp + 6]);
    EXPECT_EQ(']', rxTxLog[rxStamp + 10]);
    EXPECT_TRUE(Contains(rxTxLog, "[TX ")) << rxTxLog;

    const std::string traceLog = ReadFile(TodaysLog(session.workDir(), "TRACE"));
    EXPECT_EQ(0u, traceLog.find("######## START ")) << traceLog;
    EXPECT_TRUE(Contains(traceLog, "[Trace ")) << traceLog;
    EXPECT_TRUE(Contains(traceLog, "design.orp")) << traceLog;

    // Closing hides the window; it keeps its text.
    SendMessageA(monitor, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(monitor));
    EXPECT_TRUE(IsWindow(monitor));
    EXPECT_TRUE(Contains(WindowText(rx), "W Hi END"));
}

TEST(OutputWindows, LoggedLinesSurviveAHostThatDiesRightAfterARoundTrip) {
    const std::string workDir = MakeTempWorkDir("dying");
    TestSettings settings;
    settings.rxTxLog = true;
    WriteTestSettings(workDir, settings);
    std::string command = "\"" + PathBesideTestProgram("orp_dying_host.exe") + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(7u, exitCode) << "the host did not get through its round trip";
    const std::string log = ReadFile(TodaysLog(workDir, "RXTX"));
    EXPECT_TRUE(Contains(log, "] V  END\r\n")) << log;
    EXPECT_TRUE(Contains(log, "] v 01 00 00 END\r\n")) << log;
}

TEST(OutputWindows, NoLogFilesWhenLoggingIsOff) {
    TestSettings settings;
    settings.rxTx = true;
    PanelSession session(0, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    HWND monitor = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (monitor = FindTopLevelWindow("ORPpanelMonitorWnd")); }));
    EXPECT_EQ("Vom ORPpanel empfangene Meldungen                       "
              "Vom ORPpanel geschickte Meldungen ",
              WindowText(monitor));
    session.Send("V\r");
    EXPECT_TRUE(WaitUntil([&] { return Contains(WindowText(GetDlgItem(monitor, 1)), "V  END"); }));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA(TodaysLog(session.workDir(), "RXTX").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA(TodaysLog(session.workDir(), "TRACE").c_str()));
}

TEST(OutputWindows, FullMonitorStartsOverWithoutLosingTheLine) {
    TestSettings settings;
    settings.rxTx = true;
    PanelSession session(OPT_ENGLISH, settings);
    ASSERT_TRUE(session.ok()) << session.error();
    HWND monitor = nullptr;
    HWND rx = nullptr;
    // The window is listed while it is still being created: wait for its edit child.
    ASSERT_TRUE(WaitUntil([&] {
        monitor = FindTopLevelWindow("ORPpanelMonitorWnd");
        rx = monitor ? GetDlgItem(monitor, 1) : nullptr;
        return rx != nullptr && IsWindowVisible(monitor);
    }));
    // Each frame shows as a hex line of about 460 characters; 100 of them overflow 32000.
    auto frame = [](int i) {
        return "Z" + std::string(1, static_cast<char>(0x40 + i)) + std::string(150, 'A') + "\r";
    };
    for (int i = 0; i < 100; ++i) {
        session.Send(frame(i));
        if (i % 20 == 0) session.Drain();
    }
    // Reading 32 000 characters across threads is slow under Wine: look rarely, wait long.
    EXPECT_TRUE(WaitUntil([&] { return Contains(WindowText(rx), "Z a3 41"); }, 120000, 500));
    const std::string text = WindowText(rx);
    EXPECT_LE(text.size(), 32000u);
    EXPECT_FALSE(Contains(text, "Z 40 41")) << "the window did not start over";
    // The line that did not fit opens the new text, whole.
    EXPECT_EQ(0u, text.find("Z ")) << text.substr(0, 80);
    EXPECT_EQ(text.find("\r\n"), text.find(" END\r\n") + 4);
}

TEST(RegistrySettings, FirstStartWritesDefaultsUnderLocalMachine) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    const std::string workDir = MakeTempWorkDir("firststart");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(workDir.c_str()));

    PanelDll dll;
    std::string error;
    ASSERT_TRUE(dll.Load(&error)) << error;
    dll.Start(OPT_ENGLISH);
    const bool started = WaitUntil([] { return FindPanelWindow() != nullptr; });
    dll.Unload();
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(started);

    EXPECT_EQ("<missing>", StoredValue(HKEY_CURRENT_USER, "CommBaud"));
    DWORD type = 0;
    EXPECT_EQ("4800", StoredValue(HKEY_LOCAL_MACHINE, "CommBaud", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ("8", StoredValue(HKEY_LOCAL_MACHINE, "CommDBits"));
    EXPECT_EQ("1", StoredValue(HKEY_LOCAL_MACHINE, "RegistrySet"));
    EXPECT_EQ("0.0.0.0", StoredValue(HKEY_LOCAL_MACHINE, "NetIp"));
    EXPECT_EQ(workDir, StoredValue(HKEY_LOCAL_MACHINE, "WrkDir"));
    EXPECT_EQ("", StoredValue(HKEY_LOCAL_MACHINE, "FileCfg"));
    const std::string placement = StoredValue(HKEY_LOCAL_MACHINE, "OrpPlacement", &type);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(44u, placement.size());
    // The log folder below the work directory was prepared.
    const DWORD attributes = GetFileAttributesA((workDir + "\\log").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
}

TEST(RegistrySettings, CurrentUserKeyHidesLocalMachineKey) {
    const std::string machineDir = MakeTempWorkDir("machine");
    const std::string userDir = MakeTempWorkDir("user");
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    PutValue(HKEY_LOCAL_MACHINE, "WrkDir", machineDir);
    PutValue(HKEY_LOCAL_MACHINE, "TraceLog", "1");
    PutValue(HKEY_CURRENT_USER, "WrkDir", userDir);
    PutValue(HKEY_CURRENT_USER, "TraceLog", "1");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);

    PanelDll dll;
    std::string error;
    ASSERT_TRUE(dll.Load(&error)) << error;
    dll.Start(0);
    const bool started = WaitUntil([] { return FindPanelWindow() != nullptr; });
    dll.Unload();
    SetCurrentDirectoryA(previous);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    ASSERT_TRUE(started);

    EXPECT_EQ(0u, ReadFile(TodaysLog(userDir, "TRACE")).find("######## START "));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((machineDir + "\\log").c_str()));
    // Reading writes nothing back.
    EXPECT_EQ("<missing>", StoredValue(HKEY_CURRENT_USER, "CommBaud"));
}

}  // namespace
