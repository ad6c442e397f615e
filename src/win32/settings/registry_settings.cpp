// Registry store and platform services behind the portable settings logic.
//
// The key stays open from the first read until the library is unloaded, as every later write
// goes to the key that was found (or created) at start. Strings are written as REG_SZ with
// exactly the length the core hands over (no terminating zero); reading asks for the size
// first, so a value of any length is read whole and the core cuts it to its field.
#include "settings/registry_settings.h"

#include <cstring>
#include <string>

#include "settings/settings.h"
#include "ui/app_state.h"

namespace {

class RegistryStore : public SettingsStore {
public:
    bool OpenKey(SettingsRoot root) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(RootKey(root), kSettingsKeyPath, 0, KEY_ALL_ACCESS, &key) !=
            ERROR_SUCCESS)
            return false;
        Replace(key);
        return true;
    }
    bool CreateKey(SettingsRoot root) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(RootKey(root), kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        Replace(key);
        return true;
    }
    bool ReadValue(const char* name, std::string* bytes, SettingsValueType* type) override {
        if (!key_) return false;
        DWORD kind = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key_, name, nullptr, &kind, nullptr, &size) != ERROR_SUCCESS)
            return false;
        bytes->assign(size, '\0');
        if (size > 0 &&
            RegQueryValueExA(key_, name, nullptr, &kind, reinterpret_cast<BYTE*>(&(*bytes)[0]),
                             &size) != ERROR_SUCCESS)
            return false;
        bytes->resize(size);
        *type = kind == REG_SZ || kind == REG_EXPAND_SZ ? SettingsValueType::kString
                : kind == REG_BINARY                    ? SettingsValueType::kBinary
                : kind == REG_DWORD                     ? SettingsValueType::kDword
                                                        : SettingsValueType::kOther;
        return true;
    }
    bool WriteValue(const char* name, SettingsValueType type, const void* data,
                    std::size_t size) override {
        if (!key_) return false;
        const DWORD kind = type == SettingsValueType::kBinary  ? REG_BINARY
                           : type == SettingsValueType::kDword ? REG_DWORD
                                                               : REG_SZ;
        return RegSetValueExA(key_, name, 0, kind, static_cast<const BYTE*>(data),
                              static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }
    void Close() { Replace(nullptr); }

private:
    static HKEY RootKey(SettingsRoot root) {
        return root == SettingsRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    }
    void Replace(HKEY key) {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }
    HKEY key_ = nullptr;
};

class Win32SettingsHost : public SettingsHost {
public:
    bool GetCurrentDir(char* buffer, std::size_t size) override {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
        return length > 0 && length < size;
    }
    bool SetCurrentDir(const char* path) override { return SetCurrentDirectoryA(path) != 0; }
    bool DirectoryExists(const char* path) override {
        const DWORD attributes = GetFileAttributesA(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool CreateDir(const char* path) override { return CreateDirectoryA(path, nullptr) != 0; }
    bool GetPlacement(PlacementWindow window, stWindowPlacement* placement) override {
        const stAppState& app = AppState();
        const HWND hwnd = window == PlacementWindow::kHost    ? app.hwndHost
                          : window == PlacementWindow::kPanel ? app.hwndMain
                          : window == PlacementWindow::kTrace ? app.hwndTrace
                                                              : app.hwndMonitor;
        if (!hwnd || !IsWindow(hwnd)) return false;
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (!GetWindowPlacement(hwnd, &wp)) return false;
        static_assert(sizeof wp == sizeof *placement, "placement records match");
        std::memcpy(placement, &wp, sizeof wp);
        return true;
    }
    void ShowFatalRegistryError() override {
        MessageBoxA(nullptr, kRegistryErrorText, kRegistryErrorCaption, MB_OK | MB_ICONERROR);
    }
};

RegistryStore g_store;
Win32SettingsHost g_host;

}  // namespace

int ReadRegistrySettings() {
    SetSettingsBackend(&g_store, &g_host);
    return LoadSettings();
}

int WriteRegistrySettings() {
    SetSettingsBackend(&g_store, &g_host);
    return SaveSettings();
}

void CloseRegistrySettings() { g_store.Close(); }
