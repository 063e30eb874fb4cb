// A store of named text entries in one registry key composed from five properties.
#pragma once

#include <cstdint>
#include <string>

namespace qs {

class CProgramSettings {
public:
    CProgramSettings();

    // The stored text of the entry, or `strDefault` when that is empty.
    std::wstring ReadEntry(const std::wstring& strEntry, const std::wstring& strDefault);
    // Stores the text as a REG_SZ value; the key is created when absent.
    void WriteEntry(const std::wstring& strEntry, const std::wstring& strValue);

    const std::wstring& MainBranch() const { return mainBranch_; }
    void MainBranch(std::wstring value) { mainBranch_ = std::move(value); }
    const std::wstring& Program() const { return program_; }
    void Program(std::wstring value) { program_ = std::move(value); }
    const std::wstring& RegBase() const { return regBase_; }
    void RegBase(std::wstring value) { regBase_ = std::move(value); }
    int32_t RootKey() const { return rootKey_; }
    void RootKey(int32_t value) { rootKey_ = value; }
    const std::wstring& Section() const { return section_; }
    void Section(std::wstring value) { section_ = std::move(value); }

    // MainBranch\RegBase\Program\Section, less one trailing backslash.
    std::wstring KeyPath() const;

private:
    int32_t rootKey_ = 0;
    std::wstring mainBranch_, regBase_, program_, section_;
};

}  // namespace qs
