// The registry key "Software\Tavelle\OrPpanel\Settings" as the portable settings logic's store,
// and the directory services it needs. Shared by the DLL and by orp-settings, so that the tool
// reads and writes the key exactly as the panel does.
#pragma once

#include <windows.h>

#include "settings/settings.h"

constexpr const char* kSettingsKeyPath = "Software\\Tavelle\\OrPpanel\\Settings";

// Strings are written as REG_SZ with exactly the length the core hands over (no terminating
// zero); reading asks for the size first, so a value of any length is read whole and the core
// cuts it to its field. The key found (or created) stays open until Close.
class RegistryStore : public SettingsStore {
public:
    bool OpenKey(SettingsRoot root) override;
    bool CreateKey(SettingsRoot root) override;
    bool ReadValue(const char* name, std::string* bytes, SettingsValueType* type) override;
    bool WriteValue(const char* name, SettingsValueType type, const void* data, std::size_t size) override;
    void Close();
    // The root of the open key (meaningful while one is open).
    SettingsRoot root() const { return root_; }

private:
    void Replace(HKEY key, SettingsRoot root);
    HKEY key_ = nullptr;
    SettingsRoot root_ = SettingsRoot::kCurrentUser;
};

// Directories and the fatal message box; no windows, so no placements (the DLL adds them).
class Win32SettingsHost : public SettingsHost {
public:
    bool GetCurrentDir(char* buffer, std::size_t size) override;
    bool SetCurrentDir(const char* path) override;
    bool DirectoryExists(const char* path) override;
    bool CreateDir(const char* path) override;
    bool GetPlacement(PlacementWindow window, stWindowPlacement* placement) override;
    void ShowFatalRegistryError() override;
};
