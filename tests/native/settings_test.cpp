#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace {

// In-memory registry: two roots, each with or without the key, and a log of value accesses.
class FakeStore : public SettingsStore {
public:
    struct Key {
        bool exists = false;
        bool writable = true;
        std::map<std::string, std::pair<SettingsValueType, std::string>> values;
    };
    Key currentUser, localMachine;
    Key* open = nullptr;
    std::vector<std::string> reads, writes;

    Key& Root(SettingsRoot root) {
        return root == SettingsRoot::kCurrentUser ? currentUser : localMachine;
    }
    bool OpenKey(SettingsRoot root) override {
        if (!Root(root).exists) return false;
        open = &Root(root);
        return true;
    }
    bool CreateKey(SettingsRoot root) override {
        Key& key = Root(root);
        if (!key.writable) return false;
        key.exists = true;
        open = &key;
        return true;
    }
    bool ReadValue(const char* name, std::string* bytes, SettingsValueType* type) override {
        reads.emplace_back(name);
        auto it = open->values.find(name);
        if (it == open->values.end()) return false;
        *type = it->second.first;
        *bytes = it->second.second;
        return true;
    }
    bool WriteValue(const char* name, SettingsValueType type, const void* data,
                    std::size_t size) override {
        writes.emplace_back(name);
        open->values[name] = {type, std::string(static_cast<const char*>(data), size)};
        return true;
    }
    std::string Text(Key& key, const char* name) { return key.values.at(name).second; }
};

std::vector<std::string> g_trace;

class FakeHost : public SettingsHost {
public:
    std::string cwd = "/work/panel";
    std::vector<std::string> dirs;  // existing directories
    bool canCreate = true;
    bool haveWindows = false;
    int fatal = 0;

    bool GetCurrentDir(char* buffer, std::size_t size) override {
        std::snprintf(buffer, size, "%s", cwd.c_str());
        return true;
    }
    bool SetCurrentDir(const char* path) override {
        cwd = path;
        return true;
    }
    bool DirectoryExists(const char* path) override {
        for (const auto& d : dirs)
            if (d == path) return true;
        return false;
    }
    bool CreateDir(const char* path) override {
        if (!canCreate) return false;
        dirs.emplace_back(path);
        return true;
    }
    bool GetPlacement(PlacementWindow window, stWindowPlacement* placement) override {
        if (!haveWindows) return false;
        *placement = stWindowPlacement{44, 0, 1, -1, -1, -1, -1, 0, 0, 0, 0};
        placement->left = 10 * (static_cast<int>(window) + 1);
        return true;
    }
    void ShowFatalRegistryError() override { ++fatal; }
    void ReportProblem(const char* text) override { g_trace.emplace_back(text); }
};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_trace.clear();
        settings = stSettings{};
    }
    void Put(FakeStore::Key& key, const char* name, const std::string& text,
             SettingsValueType type = SettingsValueType::kString) {
        key.exists = true;
        key.values[name] = {type, text};
    }
    stSettings settings;
    FakeStore store;
    FakeHost host;
};

const std::string kSep(1, kPathSeparator);

TEST_F(SettingsTest, FirstStartCreatesKeyUnderLocalMachineWithDefaults) {
    host.haveWindows = true;
    ASSERT_EQ(1, ReadSettings(settings, store, host));
    EXPECT_TRUE(store.localMachine.exists);
    EXPECT_FALSE(store.currentUser.exists);
    FakeStore::Key& lm = store.localMachine;
    EXPECT_EQ("1", store.Text(lm, "RegistrySet"));
    EXPECT_EQ("4800", store.Text(lm, "CommBaud"));
    EXPECT_EQ("8", store.Text(lm, "CommDBits"));
    EXPECT_EQ("1", store.Text(lm, "CommSBits"));
    EXPECT_EQ("1", store.Text(lm, "CommPort"));
    EXPECT_EQ("0", store.Text(lm, "Scale"));
    // Texts go in without their terminating zero; empty texts are empty values.
    EXPECT_EQ("0.0.0.0", store.Text(lm, "NetIp"));
    EXPECT_EQ("/work/panel", store.Text(lm, "WrkDir"));
    EXPECT_EQ("", store.Text(lm, "FileCfg"));
    EXPECT_EQ(SettingsValueType::kString, lm.values["CommBaud"].first);
    // Placements come from the windows that exist, as 44-byte binaries.
    ASSERT_EQ(SettingsValueType::kBinary, lm.values["OrpPlacement"].first);
    ASSERT_EQ(44u, lm.values["OrpPlacement"].second.size());
    EXPECT_EQ(20, settings.orpPlacement.left);
    EXPECT_EQ(10, settings.mainPlacement.left);
    // The record holds what was read back.
    EXPECT_EQ(4800, settings.commBaud);
    EXPECT_STREQ("0.0.0.0", settings.netIp);
    EXPECT_STREQ(("/work/panel" + kSep + "log").c_str(), settings.logDir);
    EXPECT_EQ(0, host.fatal);
}

TEST_F(SettingsTest, WritesInTableOrderWithWorkDirectoryFirstAtFirstStart) {
    ASSERT_EQ(1, ReadSettings(settings, store, host));
    const std::vector<std::string> table = {
        "RegistrySet", "IFaceType", "IFaceOpen", "RxTx", "RxTxLog", "Trace", "TraceLog",
        "CommPort", "CommBaud", "CommFlow", "CommDBits", "CommSBits", "CommParity", "NetIp",
        "NetPort", "Scale", "FileCfg", "ContextHelpFile", "HelpFile", "WrkDir",
        "MainPlacement", "OrpPlacement", "TracePlacement", "RxTxPlacement"};
    std::vector<std::string> expected = {"WrkDir"};
    expected.insert(expected.end(), table.begin(), table.end());
    EXPECT_EQ(expected, store.writes);
    const std::vector<std::string> readOrder = {
        "RegistrySet", "IFaceType", "IFaceOpen", "RxTx", "RxTxLog", "Trace", "TraceLog",
        "CommFlow", "CommDBits", "CommSBits", "CommParity", "Scale", "NetIp", "NetPort",
        "FileCfg", "HelpFile", "ContextHelpFile", "WrkDir", "MainPlacement", "OrpPlacement",
        "TracePlacement", "RxTxPlacement", "CommPort", "CommBaud"};
    EXPECT_EQ(readOrder, store.reads);
}

TEST_F(SettingsTest, FirstStartFallsBackToCurrentUserWhenLocalMachineIsReadOnly) {
    store.localMachine.writable = false;
    ASSERT_EQ(1, ReadSettings(settings, store, host));
    EXPECT_TRUE(store.currentUser.exists);
    EXPECT_EQ("4800", store.Text(store.currentUser, "CommBaud"));
    EXPECT_EQ(0, host.fatal);
}

TEST_F(SettingsTest, NoKeyAnywhereAndNoneCreatableIsFatal) {
    store.localMachine.writable = false;
    store.currentUser.writable = false;
    EXPECT_EQ(0, ReadSettings(settings, store, host));
    EXPECT_EQ(1, host.fatal);
}

TEST_F(SettingsTest, CurrentUserKeyHidesLocalMachineKey) {
    Put(store.localMachine, "CommBaud", "9600");
    Put(store.currentUser, "CommBaud", "19200");
    Put(store.currentUser, "Scale", "2");
    ASSERT_EQ(1, ReadSettings(settings, store, host));
    EXPECT_EQ(19200, settings.commBaud);
    EXPECT_EQ(2, settings.scale);
    EXPECT_TRUE(store.writes.empty());
    // Writing goes back to the key that was opened.
    settings.commPort = 3;
    WriteSettings(settings, store, host);
    EXPECT_EQ("3", store.Text(store.currentUser, "CommPort"));
    EXPECT_EQ(0u, store.localMachine.values.count("CommPort"));
}

TEST_F(SettingsTest, MissingValuesZeroNumbersAndKeepTextsAndPlacements) {
    settings.commBaud = 9600;
    std::strcpy(settings.fileCfg, "old.orp");
    settings.orpPlacement.left = 77;
    Put(store.localMachine, "RegistrySet", "1");
    ASSERT_EQ(1, ReadSettings(settings, store, host));
    EXPECT_EQ(0, settings.commBaud);
    EXPECT_STREQ("old.orp", settings.fileCfg);
    EXPECT_EQ(77, settings.orpPlacement.left);
}

TEST_F(SettingsTest, HostileValuesAreCutOrIgnored) {
    Put(store.currentUser, "FileCfg", std::string(400, 'x'));
    Put(store.currentUser, "NetIp", "192.168.100.200.300.400");
    Put(store.currentUser, "HelpFile", std::string("a\0b", 3));
    Put(store.currentUser, "OrpPlacement", std::string(20, '\x01'), SettingsValueType::kBinary);
    Put(store.currentUser, "NetPort", std::string("\x10\x27\0\0", 4), SettingsValueType::kDword);
    settings.orpPlacement.left = 5;
    ASSERT_EQ(1, ReadSettings(settings, store, host));
    EXPECT_EQ(259u, std::strlen(settings.fileCfg));
    EXPECT_STREQ("192.168.100.200", settings.netIp);
    EXPECT_STREQ("a", settings.helpFile);
    EXPECT_EQ(5, settings.orpPlacement.left);
    EXPECT_EQ(10000, settings.netPort);
}

TEST_F(SettingsTest, TextFormsRoundTrip) {
    SetDefaultSettings(settings);
    settings.commBaud = 115200;
    settings.netPort = -1;
    settings.scale = INT32_MIN;
    std::strcpy(settings.netIp, "255.255.255.255");
    std::memset(settings.wrkDir, 'w', sizeof settings.wrkDir - 1);
    settings.tracePlacement = stWindowPlacement{44, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    store.CreateKey(SettingsRoot::kCurrentUser);
    ASSERT_EQ(1, WriteSettings(settings, store, host));
    EXPECT_EQ("-2147483648", store.Text(store.currentUser, "Scale"));
    EXPECT_EQ(259u, store.Text(store.currentUser, "WrkDir").size());

    stSettings back{};
    ASSERT_EQ(1, ReadSettings(back, store, host));
    std::size_t count = 0;
    const stSettingValue* values = SettingValues(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* a = reinterpret_cast<const unsigned char*>(&settings) + values[i].offset;
        const auto* b = reinterpret_cast<const unsigned char*>(&back) + values[i].offset;
        EXPECT_EQ(0, std::memcmp(a, b, values[i].size)) << values[i].name;
    }
}

TEST(SettingNumbers, ParseDecimalTextLeniently) {
    EXPECT_EQ(4800, ParseSettingNumber("4800"));
    EXPECT_EQ(-12, ParseSettingNumber("  -12"));
    EXPECT_EQ(7, ParseSettingNumber("7x"));
    EXPECT_EQ(0, ParseSettingNumber(""));
    EXPECT_EQ(0, ParseSettingNumber("abc"));
    EXPECT_EQ(12, ParseSettingNumber(std::string("12\0", 3)));
    EXPECT_EQ(INT32_MAX, ParseSettingNumber("99999999999999999999999"));
    EXPECT_EQ(INT32_MIN, ParseSettingNumber("-99999999999999999999999"));
}

TEST_F(SettingsTest, LogDirectoryIsCreatedOrBecomesCurrentDirectory) {
    std::strcpy(settings.wrkDir, "/w");
    const std::string logDir = "/w" + kSep + "log";
    // Missing: created, current directory untouched.
    EXPECT_EQ(1, PrepareLogDirectory(settings, host));
    EXPECT_EQ(std::vector<std::string>{logDir}, host.dirs);
    EXPECT_EQ("/work/panel", host.cwd);
    // Existing: becomes the current directory.
    EXPECT_EQ(1, PrepareLogDirectory(settings, host));
    EXPECT_EQ(logDir, host.cwd);
    EXPECT_TRUE(g_trace.empty());
    // Cannot be created: traced, reading still succeeds.
    host.dirs.clear();
    host.canCreate = false;
    Put(store.currentUser, "WrkDir", "/w");
    EXPECT_EQ(1, ReadSettings(settings, store, host));
    EXPECT_EQ(std::vector<std::string>{kLogDirErrorText}, g_trace);
}

TEST_F(SettingsTest, WorkDirectoryTooLongForLogDirectoryLeavesItEmpty) {
    std::memset(settings.wrkDir, 'w', 256);
    EXPECT_EQ(0, PrepareLogDirectory(settings, host));
    EXPECT_STREQ("", settings.logDir);
    EXPECT_TRUE(host.dirs.empty());
    EXPECT_EQ(1u, g_trace.size());
    std::memset(settings.wrkDir, 'w', 255);
    settings.wrkDir[255] = '\0';
    EXPECT_EQ(1, PrepareLogDirectory(settings, host));
    EXPECT_EQ(259u, std::strlen(settings.logDir));
}

TEST_F(SettingsTest, PanelBackend) {
    SettingsBackend backend;
    EXPECT_EQ(0, SaveSettings(settings, backend));
    backend = SettingsBackend{&store, &host};
    ASSERT_EQ(1, LoadSettings(settings, backend));
    EXPECT_EQ(4800, settings.commBaud);
    settings.commBaud = 2400;
    EXPECT_EQ(1, SaveSettings(settings, backend));
    EXPECT_EQ("2400", store.Text(store.localMachine, "CommBaud"));
}

}  // namespace
