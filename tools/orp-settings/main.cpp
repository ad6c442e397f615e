// orp-settings: shows and changes the panel's registry settings, so that a work directory and a
// design can be set up without a .reg file. It uses the panel's own value table, storage forms,
// defaults and registry store, and looks for the key as the panel does (the current user's
// first, then the local machine's), so what it shows is what the panel will read.
//
// When there is no key yet, `set` creates one under the current user with the panel's
// first-start defaults: the panel itself would try the local machine first, which an ordinary
// account cannot write and which 32-bit and 64-bit programs see as two different keys.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "settings/registry_store.h"
#include "settings/settings.h"
#include "settings/settings_text.h"

namespace {

const char kUsage[] =
    "usage: orp-settings show                      the settings the panel will read\n"
    "       orp-settings set NAME=VALUE ...        change values, e.g.\n"
    "       orp-settings set WrkDir=C:\\Panel FileCfg=C:\\Panel\\ORPDesigns\\demo.orp\n"
    "Names as 'show' lists them (any letter case); relative paths are made absolute.\n";

class UserKeyStore : public RegistryStore {
public:
    bool CreateKey(SettingsRoot root) override {
        return root == SettingsRoot::kCurrentUser && RegistryStore::CreateKey(root);
    }
};

const char* RootName(SettingsRoot root) {
    return root == SettingsRoot::kCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool OpenPanelKey(RegistryStore& store) {
    return store.OpenKey(SettingsRoot::kCurrentUser) || store.OpenKey(SettingsRoot::kLocalMachine);
}

// The panel changes its current directory to the log folder at start, so a relative path would
// no longer name the same file there.
bool IsPath(const stSettingValue& value) {
    const std::string name = value.name;
    return name == "WrkDir" || name == "FileCfg" || name == "HelpFile" || name == "ContextHelpFile";
}

bool Absolute(std::string* path) {
    if (path->empty()) return true;
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path->c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    *path = full;
    return true;
}

void PrintValues(const stSettings& settings) {
    std::size_t count = 0;
    const stSettingValue* values = SettingValues(&count);
    for (std::size_t i = 0; i < count; ++i)
        std::printf("%s=%s\n", values[i].name, SettingValueText(settings, values[i]).c_str());
}

int Show() {
    UserKeyStore store;
    stSettings settings{};
    if (OpenPanelKey(store)) {
        ReadSettingValues(settings, store);
        std::printf("[%s\\%s]\n", RootName(store.root()), kSettingsKeyPath);
    } else {
        SetDefaultSettings(settings);
        std::printf("No settings yet. At its first start the panel writes these, with WrkDir set to the\n"
                    "host's current directory (orp-settings set writes them under HKEY_CURRENT_USER):\n");
    }
    PrintValues(settings);
    store.Close();
    return 0;
}

void Warn(const stSettings& settings) {
    const DWORD dir = GetFileAttributesA(settings.wrkDir);
    if (dir == INVALID_FILE_ATTRIBUTES || !(dir & FILE_ATTRIBUTE_DIRECTORY))
        std::fprintf(stderr, "warning: WrkDir \"%s\" is no directory: the panel finds no log folder, start "
                             "pictures or LCD library there\n", settings.wrkDir);
    if (!settings.fileCfg[0]) return;
    const DWORD file = GetFileAttributesA(settings.fileCfg);
    if (file == INVALID_FILE_ATTRIBUTES || (file & FILE_ATTRIBUTE_DIRECTORY))
        std::fprintf(stderr, "warning: FileCfg \"%s\" does not exist: the panel starts with a new, empty design\n",
                     settings.fileCfg);
    std::string lower = settings.fileCfg;
    CharLowerA(&lower[0]);
    if (lower.find(".orp") == std::string::npos)
        std::fprintf(stderr, "warning: the panel opens FileCfg as a design only when its name contains .orp\n");
}

int Set(int count, char** assignments) {
    // Everything is checked before the key is touched, so a typo changes nothing.
    std::vector<std::pair<const stSettingValue*, std::string>> changes;
    stSettings scratch{};
    for (int i = 0; i < count; ++i) {
        const std::string assignment = assignments[i];
        const std::size_t equals = assignment.find('=');
        const stSettingValue* value =
            equals == std::string::npos ? nullptr : FindSettingValueNoCase(assignment.substr(0, equals));
        if (!value) {
            std::fprintf(stderr, "orp-settings: \"%s\" is not NAME=VALUE with a name that 'show' lists\n",
                         assignment.c_str());
            return 2;
        }
        std::string text = assignment.substr(equals + 1);
        std::string error;
        if (IsPath(*value) && !Absolute(&text)) error = std::string(value->name) + ": the path is too long";
        if (error.empty()) SetSettingFromText(scratch, *value, text, &error);
        if (!error.empty()) {
            std::fprintf(stderr, "orp-settings: %s\n", error.c_str());
            return 2;
        }
        changes.emplace_back(value, text);
    }

    UserKeyStore store;
    Win32SettingsHost host;
    stSettings settings{};
    if (!OpenPanelKey(store)) {
        if (!InitSettings(settings, store, host)) {
            std::fprintf(stderr, "orp-settings: cannot create HKEY_CURRENT_USER\\%s\n", kSettingsKeyPath);
            return 1;
        }
        std::printf("created [%s\\%s] with the panel's defaults\n", RootName(store.root()), kSettingsKeyPath);
    }
    ReadSettingValues(settings, store);
    int result = 0;
    for (const auto& change : changes) {
        std::string error;
        SetSettingFromText(settings, *change.first, change.second, &error);
        if (WriteSettingValue(settings, store, *change.first)) {
            std::printf("%s=%s\n", change.first->name, SettingValueText(settings, *change.first).c_str());
        } else {
            std::fprintf(stderr, "orp-settings: could not write %s\n", change.first->name);
            result = 1;
        }
    }
    std::printf("in [%s\\%s]\n", RootName(store.root()), kSettingsKeyPath);
    store.Close();
    Warn(settings);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "show" && argc == 2) return Show();
    if (command == "set" && argc > 2) return Set(argc - 2, argv + 2);
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
