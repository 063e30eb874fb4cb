// The registry reader and writer behind every registry operation of the program.
#include "settings/Registry.h"

#include <vector>

#include "base/Frames.h"
#include "text/Ansi.h"
#include "text/Number.h"
#include "base/Handles.h"

namespace qs::registry {
namespace {


unique_hkey Open(int32_t root, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(RootKey(root), text::ToAnsi(path).c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return unique_hkey(key);
}

// Creates the key and any missing levels above it, or opens it when it exists.
unique_hkey Create(int32_t root, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(RootKey(root), text::ToAnsi(path).c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return {};
    return unique_hkey(key);
}

void SetBytes(HKEY key, const std::wstring& valueName, DWORD type, const void* data, size_t size) {
    if (!key) return;
    ::RegSetValueExA(key, text::ToAnsi(valueName).c_str(), 0, type, static_cast<const BYTE*>(data),
                     static_cast<DWORD>(size));
}

void SetText(HKEY key, const std::wstring& valueName, DWORD type, const std::wstring& value) {
    std::string bytes = text::ToAnsi(value);
    bytes.push_back('\0');  // exactly one terminator; the size counts it
    SetBytes(key, valueName, type, bytes.data(), bytes.size());
}

}  // namespace

HKEY RootKey(int32_t value) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(value)); }

RegValue Read(const ReadRules& rules, int32_t root, const std::wstring& path, const std::wstring& valueName) {
    RegValue result;
    shortBox(rules.name, [&] {
        unique_hkey key = Open(root, path, rules.access);
        if (!key) return;
        std::string name = text::ToAnsi(valueName);
        DWORD type = 0, size = 0;
        if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return;
        if (type == REG_SZ) {
            std::string buffer(size, '\0');
            if (size > 0 && ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                               reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
                return;
            std::wstring value = text::FromAnsi(buffer);
            if (rules.terminator == Terminator::DropLastZero) {
                if (!value.empty() && value.back() == L'\0') value.pop_back();
            } else {
                value = value.substr(0, value.find(L'\0'));
            }
            result = value;
        } else if (type == REG_DWORD && rules.readsDword) {
            int32_t number = 0;
            DWORD numberSize = sizeof number;
            if (size == sizeof number && ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                                            reinterpret_cast<BYTE*>(&number), &numberSize) == ERROR_SUCCESS)
                result = number;
        }
    });
    return result;
}

void WriteText(const WriteRules& rules, int32_t root, const std::wstring& path, const std::wstring& valueName,
               const std::wstring& value, DWORD type) {
    shortBox(rules.name, [&] { SetText(Create(root, path, rules.access).get(), valueName, type, value); });
}

std::wstring TextOf(const RegValue& value) {
    if (auto* t = std::get_if<std::wstring>(&value)) return *t;
    if (auto* n = std::get_if<int32_t>(&value)) return text::NumberText(*n);
    return L"";
}

}  // namespace qs::registry

namespace qs::modRegistry {

using namespace qs::registry;

void RegistryCreateNewKey(int32_t lngRootKey, const std::wstring& strKeyName) {
    shortBox(L"RegistryCreateNewKey", [&] { Create(lngRootKey, strKeyName, KEY_WRITE); });
}

void RegistryDeleteValue(int32_t lngRootKey, const std::wstring& strKeyName, const std::wstring& strValueName) {
    shortBox(L"RegistryDeleteValue", [&] {
        if (unique_hkey key = Open(lngRootKey, strKeyName, KEY_WRITE))
            ::RegDeleteValueA(key.get(), text::ToAnsi(strValueName).c_str());
    });
}

void RegistrySetKeyValue(int32_t lngRootKey, const std::wstring& strKeyName, const std::wstring& strValueName,
                         const Variant& varSetting, int32_t lngValueType) {
    shortBox(L"RegistrySetKeyValue", [&] {
        // When the key cannot be had the writes below do nothing.
        unique_hkey key = Create(lngRootKey, strKeyName, KEY_READ | KEY_WRITE);
        switch (lngValueType) {
        case REG_SZ:
            SetText(key.get(), strValueName, REG_SZ, text::VariantText(varSetting));
            break;
        case REG_BINARY: {
            const auto* bytes = std::get_if<ByteArray>(&varSetting);
            if (!bytes) RaiseRuntime(errTypeMismatch);
            SetBytes(key.get(), strValueName, REG_BINARY, bytes->data(), bytes->size());
            break;
        }
        case REG_DWORD: {
            int32_t number = text::VariantLong(varSetting);  // stored little-endian, as the processor holds it
            SetBytes(key.get(), strValueName, REG_DWORD, &number, sizeof number);
            break;
        }
        default: break;  // the key exists now; no value is written
        }
    });
}

}  // namespace qs::modRegistry
