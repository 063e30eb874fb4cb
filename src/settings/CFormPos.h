// Remembers a window's placement in the registry: saves it, puts the window back there,
// keeps it on the screen, or centres a window that has no saved placement.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/Form.h"

namespace qs {

class CFormPos {
public:
    CFormPos();

    void CenterForm();
    // Applies the saved placement; false when none was saved (the window is untouched).
    [[nodiscard]] bool RestoreForm(bool KeepOnScreen);
    void SaveForm();

    toolkit::Form* Form() const;
    void Form(toolkit::Form* form);
    const std::wstring& RegistryPath() const { return registryPath_; }
    void RegistryPath(std::wstring value) { registryPath_ = std::move(value); }
    int32_t RootKey() const { return rootKey_; }
    void RootKey(int32_t value) { rootKey_ = value; }
    const std::wstring& SubKey() const { return subKey_; }
    void SubKey(std::wstring value) { subKey_ = std::move(value); }

private:
    std::wstring KeyPath() const;
    toolkit::Form& RequireForm() const;

    int32_t rootKey_ = 0;
    std::wstring registryPath_;
    std::wstring subKey_;
    toolkit::Form* form_ = nullptr;
};

}  // namespace qs
