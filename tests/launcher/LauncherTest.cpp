// The launcher window in-process: its system menu, its tray menu's items and the launch
// actions' messages.
#include <gtest/gtest.h>

#include <objbase.h>

#include "Screenshot.h"
#include "Support.h"
#include "language/modLanguage.h"
#include "launcher/frmLaunch.h"
#include "settings/RegistryHelpers.h"

using namespace qs;

namespace {

struct Apartment {
    Apartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
} gApartment;

class Launcher : public test::HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        test::ClearProgramKeys();
        modLanguage::ResetResources();
        modLanguage::InitLanguage(1033);
        launcher = std::make_unique<frmLaunch>();
        launcher->Load();
    }
    void TearDown() override {
        launcher.reset();
        test::ClearProgramKeys();
        modLanguage::ResetResources();
        HandlerTest::TearDown();
    }
    std::unique_ptr<frmLaunch> launcher;
};

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[128] = L"";
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

TEST_F(Launcher, LoadingSetsCaptionsTipsTheSystemMenuAndTheTrayIcon) {
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(launcher->Caption(), L"Quorset");
    EXPECT_EQ((*launcher)(L"tbToolbar").Buttons[2].ToolTipText, L"Check for updates with Tamrel");
    EXPECT_EQ((*launcher)(L"mnuPopupShowToolbar").Caption(), L"&Show Toolbar");

    HMENU system = ::GetSystemMenu(launcher->hwnd(), FALSE);
    int count = ::GetMenuItemCount(system);
    ASSERT_GE(count, 3);
    EXPECT_EQ(::GetMenuState(system, static_cast<UINT>(count - 3), MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
    EXPECT_EQ(ItemText(system, count - 2), L"Configure Quorset...");
    EXPECT_EQ(::GetMenuItemID(system, count - 2), UINT{frmLaunch::kConfigureCommand});
    EXPECT_EQ(ItemText(system, count - 1), L"About Quorset");
    EXPECT_EQ(::GetMenuItemID(system, count - 1), UINT{frmLaunch::kAboutCommand});

    ASSERT_NE(launcher->SysTray(), nullptr);
    EXPECT_TRUE(launcher->SysTray()->Shown());
    EXPECT_STREQ(launcher->SysTray()->Record().szTip, "Quorset");
    EXPECT_EQ(launcher->SysTray()->Icon(), launcher->Icon());
    EXPECT_FALSE(launcher->Visible()) << "loading does not show";
}

TEST_F(Launcher, MissingProgramsAndHelpAreReportedAndOtherItemsDoNothing) {
    for (int16_t item : {int16_t{0}, int16_t{6}, int16_t{-1}}) launcher->Launch(item);
    EXPECT_TRUE(notices.boxes.empty());

    launcher->Launch(3);  // no updater in the test folder
    launcher->Launch(4);  // no help for the locale
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_EQ(notices.boxes[0].prompt,
              L"The program could not be started. Please check that it is installed in the Quorset folder.");
    EXPECT_EQ(notices.boxes[0].style, unsigned(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(notices.boxes[0].title, L"Quorset");
    EXPECT_EQ(notices.boxes[1].prompt.rfind(L"The help file could not be opened.", 0), 0u);
    EXPECT_EQ(gErrHandler->Depth(), 0);
}

TEST_F(Launcher, ClosingHidesAndOnlyAWantedUnloadEnds) {
    launcher->Show();
    ::SendMessageW(launcher->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(launcher->Visible());
    EXPECT_TRUE(launcher->Loaded());
    launcher->Unload();  // from code, without the exit flag: hides as well
    EXPECT_TRUE(launcher->Loaded());
    ::SendMessageW(launcher->hwnd(), WM_CLOSE, 0, 0);  // another program: ends
    EXPECT_FALSE(launcher->Loaded());
    EXPECT_TRUE(test::ReadBack(test::kPositionsKey, L"frmLaunch").exists) << "the placement was saved";
}

TEST_F(Launcher, AutoHideIsReadAtEveryDeactivation) {
    HWND other = ::CreateWindowExW(0, L"STATIC", L"Another window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    launcher->AppSettings()->AutoHide(false);
    launcher->Show();
    ::SetActiveWindow(other);
    EXPECT_TRUE(launcher->Visible());

    launcher->Show();
    launcher->AppSettings()->AutoHide(true);  // as the configuration dialog applies it
    ::SetActiveWindow(other);
    EXPECT_FALSE(launcher->Visible()) << "the new value applies at the next deactivation";
    ::DestroyWindow(other);
}

}  // namespace
