// The window placement store.
#include "settings/CFormPos.h"

#include <windows.h>

#include "base/Frames.h"
#include "settings/Registry.h"
#include "text/Number.h"
#include "text/Placement.h"
#include "base/App.h"
#include "toolkit/Screen.h"

namespace qs {
namespace {

const registry::ReadRules kRegistryGetKeyValue{L"RegistryGetKeyValue", KEY_QUERY_VALUE,
                                               registry::Terminator::CutAtFirstZero, false};
const registry::WriteRules kRegistrySetKeyValue{L"RegistrySetKeyValue", KEY_WRITE};

// The user's decimal separator, with which the platform writes numbers.
wchar_t UserDecimalSeparator() {
    wchar_t separator[8] = L".";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return separator[0] ? separator[0] : L'.';
}

}  // namespace

CFormPos::CFormPos() {
    criticalBox(L"Quorset.CFormPos.Class_Initialize", [&] {
        rootKey_ = static_cast<int32_t>(0x80000001);  // HKEY_CURRENT_USER
        registryPath_ = L"SOFTWARE\\" + App::CompanyName() + L"\\" + App::Title();
        subKey_ = L"Positions";
    });
}

toolkit::Form* CFormPos::Form() const {
    toolkit::Form* result = nullptr;
    shortBox(L"Form", [&] { result = form_; });
    return result;
}

void CFormPos::Form(toolkit::Form* form) {
    shortBox(L"Form", [&] { form_ = form; });
}

toolkit::Form& CFormPos::RequireForm() const {
    if (!form_) RaiseRuntime(errObjectNotSet);
    return *form_;
}

std::wstring CFormPos::KeyPath() const { return subKey_.empty() ? registryPath_ : registryPath_ + L"\\" + subKey_; }

void CFormPos::CenterForm() {
    shortBox(L"CenterForm", [&] {
        toolkit::Form& form = RequireForm();
        float width = form.Width(), height = form.Height();
        form.Move((toolkit::Screen::Width() - width) / 2, (toolkit::Screen::Height() - height) / 2, width, height);
    });
}

void CFormPos::SaveForm() {
    shortBox(L"SaveForm", [&] {
        toolkit::Form& form = RequireForm();
        std::wstring text = text::PlacementText(form.Left(), form.Top(), form.Width(), form.Height(),
                                          static_cast<int16_t>(form.WindowState()), UserDecimalSeparator());
        registry::WriteText(kRegistrySetKeyValue, rootKey_, KeyPath(), form.Name(), text, REG_SZ);
    });
}

bool CFormPos::RestoreForm(bool KeepOnScreen) {
    bool result = false;
    shortBox(L"RestoreForm", [&] {
        toolkit::Form& form = RequireForm();
        std::wstring saved = registry::TextOf(registry::Read(kRegistryGetKeyValue, rootKey_, KeyPath(), form.Name()));
        if (saved.empty()) return;
        auto [left, top, width, height, state] = text::ReadPlacement(saved);
        if (state == 1 || state == 2) {
            form.WindowState(state);
        } else {
            if (KeepOnScreen) {
                // Pull back a window whose corner lies beyond the right or bottom edge.
                float screenWidth = toolkit::Screen::Width(), screenHeight = toolkit::Screen::Height();
                if (static_cast<float>(left) >= screenWidth) left = text::RoundHalfEven(screenWidth - static_cast<float>(width));
                if (static_cast<float>(top) >= screenHeight) top = text::RoundHalfEven(screenHeight - static_cast<float>(height));
                if (top < 0) top = 0;
                if (left < 0) left = 0;
            }
            form.Move(static_cast<float>(left), static_cast<float>(top), static_cast<float>(width),
                      static_cast<float>(height));
        }
        result = true;
    });
    return result;
}

}  // namespace qs
