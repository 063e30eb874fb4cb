// Registry access through the ANSI registry functions and the system code page. One
// reader and one writer carry the shared pattern; each registry operation of the program
// is those two with its own rules (access, create or open, terminator, accepted types).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>

#include "text/Variant.h"

namespace qs::registry {

// A value read from the registry: empty (nothing usable), text, or a 32-bit integer.
using RegValue = std::variant<std::monostate, std::wstring, int32_t>;

// A root key given as its 32-bit handle value (HKEY_CURRENT_USER is 0x80000001).
HKEY RootKey(int32_t value);

enum class Terminator {
    DropLastZero,    // the last character goes when it is a zero
    CutAtFirstZero,  // the text ends before its first zero
};

struct ReadRules {
    const wchar_t* name;  // title of the error box
    REGSAM access;
    Terminator terminator;
    bool readsDword;
};

struct WriteRules {
    const wchar_t* name;
    REGSAM access;
};

// Opens the existing key and reads one value; creates nothing. Every failure gives an
// empty value; run-time failures are shown in a box titled with the rules' name.
RegValue Read(const ReadRules& rules, int32_t root, const std::wstring& path, const std::wstring& valueName);

// Creates or opens the key and writes the text followed by one zero character with the
// given type. Platform failures are silent; run-time failures show the box.
void WriteText(const WriteRules& rules, int32_t root, const std::wstring& path, const std::wstring& valueName,
               const std::wstring& value, DWORD type);

// The text a read value stands for: empty gives "", an integer its decimal digits.
std::wstring TextOf(const RegValue& value);

}  // namespace qs::registry

namespace qs::modRegistry {

// Makes sure the key exists.
void RegistryCreateNewKey(int32_t lngRootKey, const std::wstring& strKeyName);
// Deletes one value of an existing key; a missing key or value is no error.
void RegistryDeleteValue(int32_t lngRootKey, const std::wstring& strKeyName, const std::wstring& strValueName);
// Writes one value: REG_SZ as text, REG_BINARY from a byte array, REG_DWORD as a 32-bit
// integer; any other type creates the key and writes nothing.
void RegistrySetKeyValue(int32_t lngRootKey, const std::wstring& strKeyName, const std::wstring& strValueName,
                         const Variant& varSetting, int32_t lngValueType);

}  // namespace qs::modRegistry
