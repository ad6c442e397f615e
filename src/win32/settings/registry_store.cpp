#include "settings/registry_store.h"

#include <string>

namespace {
HKEY RootKey(SettingsRoot root) { return root == SettingsRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
}  // namespace

bool RegistryStore::OpenKey(SettingsRoot root) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), kSettingsKeyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    Replace(key, root);
    return true;
}

bool RegistryStore::CreateKey(SettingsRoot root) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(RootKey(root), kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    Replace(key, root);
    return true;
}

bool RegistryStore::ReadValue(const char* name, std::string* bytes, SettingsValueType* type) {
    if (!key_) return false;
    DWORD kind = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &kind, nullptr, &size) != ERROR_SUCCESS) return false;
    bytes->assign(size, '\0');
    if (size > 0 &&
        RegQueryValueExA(key_, name, nullptr, &kind, reinterpret_cast<BYTE*>(&(*bytes)[0]), &size) != ERROR_SUCCESS)
        return false;
    bytes->resize(size);
    *type = kind == REG_SZ || kind == REG_EXPAND_SZ ? SettingsValueType::kString
            : kind == REG_BINARY                    ? SettingsValueType::kBinary
            : kind == REG_DWORD                     ? SettingsValueType::kDword
                                                    : SettingsValueType::kOther;
    return true;
}

bool RegistryStore::WriteValue(const char* name, SettingsValueType type, const void* data, std::size_t size) {
    if (!key_) return false;
    const DWORD kind = type == SettingsValueType::kBinary  ? REG_BINARY
                       : type == SettingsValueType::kDword ? REG_DWORD
                                                           : REG_SZ;
    return RegSetValueExA(key_, name, 0, kind, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
}

void RegistryStore::Close() { Replace(nullptr, root_); }

void RegistryStore::Replace(HKEY key, SettingsRoot root) {
    if (key_) RegCloseKey(key_);
    key_ = key;
    root_ = root;
}

bool Win32SettingsHost::GetCurrentDir(char* buffer, std::size_t size) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
    return length > 0 && length < size;
}

bool Win32SettingsHost::SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path) != 0; }

bool Win32SettingsHost::DirectoryExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SettingsHost::CreateDir(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

bool Win32SettingsHost::GetPlacement(PlacementWindow, stWindowPlacement*) { return false; }

void Win32SettingsHost::ShowFatalRegistryError() {
    MessageBoxA(nullptr, kRegistryErrorText, kRegistryErrorCaption, MB_OK | MB_ICONERROR);
}
