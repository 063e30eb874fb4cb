// The settings store: entries of one composed registry key.
#include "settings/CProgramSettings.h"

#include "base/Frames.h"
#include "settings/Registry.h"

namespace qs {
namespace {
// Query, set, create subkey, enumerate, notify and create link.
constexpr REGSAM kStoreAccess = 0x3F;
const registry::ReadRules kGetKeyValue{L"GetKeyValue", kStoreAccess, registry::Terminator::DropLastZero, true};
const registry::WriteRules kSetKeyValue{L"SetKeyValue", kStoreAccess};
}  // namespace

CProgramSettings::CProgramSettings() {
    criticalBox(L"Quorset.CProgramSettings.Class_Initialize", [&] {
        rootKey_ = static_cast<int32_t>(0x80000002);  // HKEY_LOCAL_MACHINE
        mainBranch_ = L"SOFTWARE";
        section_ = L"Settings";
    });
}

std::wstring CProgramSettings::KeyPath() const {
    std::wstring path = mainBranch_ + L"\\" + regBase_ + L"\\" + program_ + L"\\" + section_;
    if (path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring CProgramSettings::ReadEntry(const std::wstring& strEntry, const std::wstring& strDefault) {
    std::wstring result;
    shortBox(L"ReadEntry", [&] {
        std::wstring value = registry::TextOf(registry::Read(kGetKeyValue, rootKey_, KeyPath(), strEntry));
        result = value.empty() ? strDefault : value;
    });
    return result;
}

void CProgramSettings::WriteEntry(const std::wstring& strEntry, const std::wstring& strValue) {
    shortBox(L"WriteEntry", [&] { registry::WriteText(kSetKeyValue, rootKey_, KeyPath(), strEntry, strValue, REG_SZ); });
}

}  // namespace qs
