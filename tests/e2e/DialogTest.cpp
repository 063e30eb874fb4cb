// The configuration dialog and the About box of the running program, opened through the
// toolbar window's system menu as a user opens them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "Screenshot.h"
#include "e2e/Driver.h"
#include "settings/RegistryHelpers.h"

using namespace qs;
using namespace qs::test;

namespace {

constexpr WPARAM kAbout = 1000, kConfigure = 1001;

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ClearProgramKeys();
        Store(L"AutoHide", "False");
        Store(L"AutoRun", "False");
    }
    void TearDown() override { ClearProgramKeys(); }

    static void Store(const wchar_t* name, const char* text) {
        PlantBytes(kSettingsKey, name, REG_SZ, std::string(text) + '\0');
    }
    static std::string Setting(const wchar_t* name) { return ReadBack(kSettingsKey, name).bytes.c_str(); }
    static bool Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }

    // Opens a dialog through the system menu and waits until it is the active window:
    // a button of an inactive dialog may ignore a click.
    HWND Open(WPARAM command) {
        ::PostMessageW(launcher, WM_SYSCOMMAND, command, 0);
        HWND dialog = quorset.Dialog(launcher);
        if (dialog) {
            EXPECT_TRUE(Quorset::Activate(dialog));
        }
        ::Sleep(200);
        return dialog;
    }
    HWND StartVisible() {
        quorset.Start();
        launcher = quorset.Launcher();
        WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; });
        ::Sleep(300);
        return launcher;
    }
    // Activates a window of another program, as a click elsewhere does.
    bool HiddenAfterActivatingAnother(int milliseconds = 5000) {
        HWND other = ::CreateWindowExW(0, L"STATIC", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                       200, 100, nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE(Quorset::Activate(other));
        bool hidden = WaitFor([&] { return !::IsWindowVisible(launcher); }, milliseconds);
        ::DestroyWindow(other);
        return hidden;
    }

    Quorset quorset;
    HWND launcher = nullptr;
};

const std::wstring kAutorun = L"&Run this program when Windows starts";
const std::wstring kAutoHide = L"Automatically &hide the toolbar when it loses focus";

TEST_F(Dialogs, ConfigureAppliesOnApplyAndOkAndForgetsWhatWasClosed) {
    ASSERT_NE(StartVisible(), nullptr);
    HWND dialog = Open(kConfigure);
    ASSERT_NE(dialog, nullptr);
    SaveScreenshot(dialog, L"e2e-configure-en");
    wchar_t title[64] = L"";
    ::GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"Configure Quorset");
    HWND autorun = Quorset::Child(dialog, L"Button", kAutorun), autoHide = Quorset::Child(dialog, L"Button", kAutoHide);
    ASSERT_TRUE(autorun && autoHide);
    EXPECT_FALSE(Checked(autorun));
    EXPECT_FALSE(Checked(autoHide));
    EXPECT_FALSE(HiddenAfterActivatingAnother(1500)) << "nothing hides while a dialog is open";
    ASSERT_TRUE(Quorset::Activate(dialog));  // back from the other window

    // Apply writes the Run entry at once; unticking and closing keeps it.
    Click(autorun);
    Click(Quorset::Child(dialog, L"Button", L"&Apply"));
    std::string command = (quorset.folder.Path() / L"Quorset").string() + " /S";
    EXPECT_EQ(ReadBack(kRunKey, L"Quorset").bytes, command + '\0');
    Click(autorun);
    Click(Quorset::Child(dialog, L"Button", L"&Close"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(ReadBack(kRunKey, L"Quorset").exists);

    // The close box applies nothing.
    dialog = Open(kConfigure);
    autoHide = Quorset::Child(dialog, L"Button", kAutoHide);
    EXPECT_TRUE(Checked(Quorset::Child(dialog, L"Button", kAutorun)));
    Click(autoHide);
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    ::Sleep(300);  // the launcher ends its handling of the dialog
    ASSERT_TRUE(Quorset::Activate(launcher));
    EXPECT_FALSE(HiddenAfterActivatingAnother(1500)) << "AutoHide is still off";
    ::ShowWindow(launcher, SW_SHOW);

    // OK without a change applies both again: the removed Run entry comes back.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey.c_str(), L"Quorset");
    dialog = Open(kConfigure);
    ::PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0);  // Enter presses OK
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(ReadBack(kRunKey, L"Quorset").bytes, command + '\0');

    // A new AutoHide goes into the launcher's own settings object (stored at Exit below);
    // that the launcher reads that object at every deactivation is shown in-process by
    // Launcher.AutoHideIsReadAtEveryDeactivation.
    dialog = Open(kConfigure);
    Click(Quorset::Child(dialog, L"Button", kAutoHide));
    Click(Quorset::Child(dialog, L"Button", L"&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    ::Sleep(300);

    Quorset::TrayCallback(launcher, WM_RBUTTONDOWN);
    ASSERT_TRUE(quorset.ChooseFromMenu(3));
    ASSERT_TRUE(quorset.Exited());
    EXPECT_EQ(Setting(L"AutoHide"), "True");
    EXPECT_EQ(Setting(L"AutoRun"), "True");
}

TEST_F(Dialogs, TheAboutBoxShowsTheProgramAndClosesWithEnter) {
    Store(L"AutoHide", "True");
    ASSERT_NE(StartVisible(), nullptr);
    HWND about = Open(kAbout);
    ASSERT_NE(about, nullptr);
    SaveScreenshot(about, L"e2e-about-en");
    auto labels = Quorset::Labels(about);
    auto has = [&](const std::wstring& text) { return std::find(labels.begin(), labels.end(), text) != labels.end(); };
    EXPECT_TRUE(has(L"Quorset"));
    EXPECT_TRUE(has(L"Version 1.0.0"));
    EXPECT_TRUE(has(L"Copyright (C) 2026 Brom")) << "the version information's copyright";
    EXPECT_TRUE(has(L"Part of the Vuld product family."));
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](auto& t) { return t.rfind(L"Warning:", 0) == 0; }));
    EXPECT_FALSE(has(L"Release"));

    EXPECT_FALSE(HiddenAfterActivatingAnother(1500)) << "auto-hide waits while the About box is open";
    ASSERT_TRUE(Quorset::Activate(about));
    ::PostMessageW(about, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }, 5000));
    EXPECT_FALSE(quorset.Exited(200));
}

// Run by the German ctest entry, whose locale is German.
TEST_F(Dialogs, GermanDialogs) {
    if (::GetUserDefaultLCID() != 1031) GTEST_SKIP() << "runs in a German locale";
    ASSERT_NE(StartVisible(), nullptr);
    HWND dialog = Open(kConfigure);
    ASSERT_NE(dialog, nullptr);
    SaveScreenshot(dialog, L"e2e-configure-de");
    EXPECT_NE(Quorset::Child(dialog, L"Button", L"Dieses Programm beim &Start von Windows ausf\u00FChren"), nullptr);
    EXPECT_NE(Quorset::Child(dialog, L"Button", L"\u00DC&bernehmen"), nullptr);
    Click(Quorset::Child(dialog, L"Button", L"&Schlie\u00DFen"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));

    HWND about = Open(kAbout);
    ASSERT_NE(about, nullptr);
    SaveScreenshot(about, L"e2e-about-de");
    auto labels = Quorset::Labels(about);
    EXPECT_NE(std::find(labels.begin(), labels.end(), L"Teil der Produktfamilie Vuld."),
              labels.end());
}

}  // namespace
