// Loading, saving and the start-up entry of the two user settings.
#include "settings/CAppSettings.h"

#include <windows.h>

#include "base/Frames.h"
#include "settings/CProgramSettings.h"
#include "settings/Registry.h"
#include "base/modSupport.h"
#include "text/Number.h"
#include "base/App.h"

namespace qs {
namespace {

constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001);

// A store configured for the settings key.
CProgramSettings SettingsStore() {
    CProgramSettings store;
    store.RootKey(kCurrentUser);
    store.MainBranch(L"SOFTWARE");
    store.RegBase(App::CompanyName());
    store.Program(App::Title());
    store.Section(L"Settings");
    return store;
}

const wchar_t* BooleanText(bool value) { return value ? L"True" : L"False"; }

}  // namespace

CAppSettings::CAppSettings() {
    criticalBox(L"Quorset.CAppSettings.Class_Initialize", [&] { LoadSettings(); });
}

CAppSettings::~CAppSettings() {
    ignoring([&] {
        if (changed_) SaveSettings();
    });
}

std::wstring CAppSettings::SettingsKeyPath() { return SettingsStore().KeyPath(); }

std::wstring CAppSettings::RunCommand() { return modSupport::AppPath() + App::EXEName() + L" /S"; }

void CAppSettings::LoadSettings() {
    reraise([&] {
        CProgramSettings store = SettingsStore();
        autoHide_ = text::ToBoolean(store.ReadEntry(L"AutoHide", L"True"));
        autoRun_ = text::ToBoolean(store.ReadEntry(L"AutoRun", L"True"));
    });
}

void CAppSettings::SaveSettings() {
    reraise([&] {
        CProgramSettings store = SettingsStore();
        store.WriteEntry(L"AutoHide", BooleanText(autoHide_));
        store.WriteEntry(L"AutoRun", BooleanText(autoRun_));
    });
}

bool CAppSettings::AutoHide() const { return autoHide_; }

void CAppSettings::AutoHide(bool fValue) {
    reraise([&] {
        autoHide_ = fValue;
        changed_ = true;
    });
}

bool CAppSettings::AutoRun() const { return autoRun_; }

void CAppSettings::AutoRun(bool fValue) {
    reraise([&] {
        autoRun_ = fValue;
        changed_ = true;
        if (fValue) {
            modRegistry::RegistryCreateNewKey(kCurrentUser, kRunKey);
            modRegistry::RegistrySetKeyValue(kCurrentUser, kRunKey, kRunValue, Variant(RunCommand()), REG_SZ);
        } else {
            modRegistry::RegistryDeleteValue(kCurrentUser, kRunKey, kRunValue);
        }
    });
}

}  // namespace qs
