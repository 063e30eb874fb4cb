// Direct registry access for the tests: plant values of any type, read back the exact
// bytes, and clear the program's keys.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace qs::test {

inline const std::wstring kProgramKey = L"SOFTWARE\\Brom\\Quorset";
inline const std::wstring kSettingsKey = kProgramKey + L"\\Settings";
inline const std::wstring kPositionsKey = kProgramKey + L"\\Positions";
inline const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline std::string Ansi(const std::wstring& name) { return std::string(name.begin(), name.end()); }

// ANSI bytes, stored exactly as given (no terminator added), as an ANSI program stores them.
inline void PlantBytes(const std::wstring& key, const std::wstring& name, DWORD type, const std::string& bytes) {
    HKEY handle = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    ::RegSetValueExA(handle, Ansi(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(handle);
}
inline void Plant(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, size_t size) {
    PlantBytes(key, name, type, std::string(static_cast<const char*>(data), size));
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
    DWORD size = 0;
    if (::RegQueryValueExA(handle, Ansi(name).c_str(), nullptr, &stored.type, nullptr, &size) == ERROR_SUCCESS) {
        stored.bytes.resize(size);
        ::RegQueryValueExA(handle, Ansi(name).c_str(), nullptr, &stored.type,
                           reinterpret_cast<BYTE*>(stored.bytes.data()), &size);
        stored.exists = true;
    }
    ::RegCloseKey(handle);
    return stored;
}

inline bool KeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    bool exists = ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (exists) ::RegCloseKey(handle);
    return exists;
}

// Removes what the program keeps for the current user.
inline void ClearProgramKeys() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey.c_str());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey.c_str(), L"Quorset");
}

// A setting stored as the program stores it: ANSI text with its terminator.
inline void StoreSetting(const wchar_t* name, const std::string& text) {
    PlantBytes(kSettingsKey, name, REG_SZ, text + '\0');
}
inline std::string Setting(const wchar_t* name) { return ReadBack(kSettingsKey, name).bytes.c_str(); }

// A test that starts and ends with none of what the program keeps.
class WithoutProgramKeys : public ::testing::Test {
protected:
    void SetUp() override { ClearProgramKeys(); }
    void TearDown() override { ClearProgramKeys(); }
};

}  // namespace qs::test
