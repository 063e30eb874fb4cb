// Direct registry access for the settings tests: plant values of any type, read back the
// exact bytes, and clear the program's keys.
#pragma once

#include <windows.h>

#include <string>

namespace qs::test {

inline const std::wstring kProgramKey = L"SOFTWARE\\Brom\\Quorset";
inline const std::wstring kSettingsKey = kProgramKey + L"\\Settings";
inline const std::wstring kPositionsKey = kProgramKey + L"\\Positions";
inline const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline void Plant(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, size_t size) {
    HKEY handle = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    ::RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    ::RegCloseKey(handle);
}

// ANSI bytes, stored exactly as given (no terminator added).
inline void PlantBytes(const std::wstring& key, const std::wstring& name, DWORD type, const std::string& bytes) {
    HKEY handle = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    std::wstring wide(name);
    ::RegSetValueExA(handle, std::string(wide.begin(), wide.end()).c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(handle);
}

struct Stored {
    bool exists = false;
    DWORD type = 0;
    std::string bytes;
};

inline Stored ReadBack(const std::wstring& key, const std::wstring& name) {
    Stored stored;
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return stored;
    std::wstring wide(name);
    std::string ansiName(wide.begin(), wide.end());
    DWORD size = 0;
    if (::RegQueryValueExA(handle, ansiName.c_str(), nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
        stored.bytes.resize(size);
        ::RegQueryValueExA(handle, ansiName.c_str(), nullptr, &stored.type, reinterpret_cast<BYTE*>(stored.bytes.data()),
                           &size);
        stored.exists = true;
    }
    ::RegCloseKey(handle);
    return stored;
}

inline bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    ::RegCloseKey(handle);
    return true;
}

// Removes what the program keeps for the current user.
inline void ClearProgramKeys() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey.c_str());
    HKEY run = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey.c_str(), 0, KEY_WRITE, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueW(run, L"Quorset");
        ::RegCloseKey(run);
    }
}

}  // namespace qs::test
