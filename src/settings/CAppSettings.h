// The program's two user settings, loaded at creation and saved at destruction when
// changed; AutoRun also keeps the Windows "Run" entry in step at once.
#pragma once

#include <string>

namespace qs {

class CAppSettings {
public:
    CAppSettings();
    ~CAppSettings();
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;

    bool AutoHide() const;
    void AutoHide(bool fValue);
    bool AutoRun() const;
    void AutoRun(bool fValue);

    // Where the settings and the start-up entry live.
    static std::wstring SettingsKeyPath();
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kRunValue = L"Quorset";
    // The command the "Run" entry holds: the program's folder, its name and " /S".
    static std::wstring RunCommand();

private:
    void LoadSettings();
    void SaveSettings();

    bool autoHide_ = false;
    bool autoRun_ = false;
    bool changed_ = false;
};

}  // namespace qs
