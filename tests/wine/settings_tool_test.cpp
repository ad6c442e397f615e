// orp-settings, the settings command of the release archive: what it sets is what it shows and
// what the panel starts with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "harness/panel_session.h"
#include "harness/test_design.h"
#include "orppanel_host.h"

namespace {

const char kKey[] = "Software\\Tavelle\\OrPpanel\\Settings";

// Runs the tool in `directory` and returns its exit code, its output (both streams, without CRs)
// in `output`.
int RunSettingsTool(const std::string& arguments, const std::string& directory, std::string* output) {
    output->clear();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + PathBesideTestProgram("..\\tools\\orp-settings.exe") + "\" " + arguments;
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        directory.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return -1;
    }
    char buffer[1024];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) output->append(buffer, got);
    CloseHandle(readEnd);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    output->erase(std::remove(output->begin(), output->end(), '\r'), output->end());
    return static_cast<int>(code);
}

bool HasLine(const std::string& output, const std::string& line) {
    return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

TEST(SettingsTool, SetsWhatItShowsAndThePanelStartsWithThatDesign) {
    // No key anywhere: the tool creates one with the panel's defaults.
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    const std::string dir = MakeTempWorkDir("tool");
    const std::string design = dir + "\\Tool.orp";
    ASSERT_TRUE(WriteTestDesign(design, TestDesign{}));

    std::string out;
    EXPECT_EQ(2, RunSettingsTool("set CommBaud=fast", dir, &out)) << out;
    // Relative paths are made absolute against the tool's current directory.
    ASSERT_EQ(0, RunSettingsTool("set WrkDir=. fileCFG=Tool.orp Scale=1", dir, &out)) << out;
    ASSERT_EQ(0, RunSettingsTool("show", dir, &out)) << out;
    EXPECT_TRUE(HasLine(out, std::string("[HKEY_CURRENT_USER\\") + kKey + "]")) << out;
    EXPECT_TRUE(HasLine(out, "WrkDir=" + dir)) << out;
    EXPECT_TRUE(HasLine(out, "FileCfg=" + design)) << out;
    EXPECT_TRUE(HasLine(out, "Scale=1")) << out;
    EXPECT_TRUE(HasLine(out, "CommBaud=4800")) << out;

    TestSettings settings;
    settings.keepKey = true;
    PanelSession panel(OPT_ENGLISH | OPT_FILE_COMMANDS, settings);
    ASSERT_TRUE(panel.ok()) << panel.error();
    std::string title = "ORPpanel - " + design;
    std::transform(title.begin() + 11, title.end(), title.begin() + 11, [](unsigned char c) { return std::tolower(c); });
    EXPECT_TRUE(WaitUntil([&] { return WindowText(panel.panel()) == title; })) << WindowText(panel.panel());
}

// The host kit's calls write the same key: what they write is what the tool shows and the panel
// reads, a new key complete with the first start's values.
TEST(SettingsTool, HostKitWritesWhatTheToolShows) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    const std::string dir = MakeTempWorkDir("kit");
    const std::string design = dir + "\\Kit.orp";
    EXPECT_FALSE(orphost::ReadPanelSetting("FileCfg"));
    ASSERT_TRUE(orphost::WritePanelSettings({{"WrkDir", dir}, {"FileCfg", design}, {"RxTxLog", "1"}}));
    EXPECT_EQ(design, orphost::ReadPanelSetting("FileCfg").value_or("?"));
    std::string out;
    ASSERT_EQ(0, RunSettingsTool("show", dir, &out)) << out;
    for (const std::string& line : {"WrkDir=" + dir, "FileCfg=" + design, std::string("RxTxLog=1"),
                                   std::string("RegistrySet=1"), std::string("CommBaud=4800"),
                                   std::string("NetIp=0.0.0.0")})
        EXPECT_TRUE(HasLine(out, line)) << line << " in\n" << out;
}

}  // namespace
