// The launcher window in-process: its texts, its system menu, its tray icon, and what
// follows a change of dots per inch.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Screenshot.h"
#include "Support.h"
#include "language/modLanguage.h"
#include "launcher/frmLaunch.h"
#include "settings/RegistryHelpers.h"
#include "toolkit/Icons.h"

using namespace qs;

namespace {

const qs::test::ComApartment kApartment;

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

// The caption, the tips, the tray menu's texts and the hidden start are seen end to end.
TEST_F(Launcher, LoadingSetsTheMenusAndTheTrayIcon) {
    EXPECT_TRUE(notices.boxes.empty());
    HMENU system = ::GetSystemMenu(launcher->hwnd(), FALSE);
    int count = ::GetMenuItemCount(system);
    wchar_t configure[128] = L"", about[128] = L"";
    ::GetMenuStringW(system, frmLaunch::kConfigureCommand, configure, 128, MF_BYCOMMAND);
    ::GetMenuStringW(system, frmLaunch::kAboutCommand, about, 128, MF_BYCOMMAND);
    EXPECT_STREQ(configure, L"Configure Quorset...");
    EXPECT_STREQ(about, L"About Quorset");
    EXPECT_EQ(::GetMenuItemID(system, count - 1), UINT{frmLaunch::kAboutCommand}) << "at the end, after a separator";
    EXPECT_EQ(::GetMenuState(system, static_cast<UINT>(count - 3), MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
    ASSERT_NE(launcher->SysTray(), nullptr);
    EXPECT_EQ(launcher->SysTray()->Record().uCallbackMessage, UINT{WM_MOUSEMOVE}) << "the shell calls back as a move";
    EXPECT_STREQ(launcher->SysTray()->Record().szTip, "Quorset");
    EXPECT_EQ(launcher->SysTray()->Icon(), launcher->Icon());
    EXPECT_EQ(toolkit::IconWidth(launcher->SysTray()->Record().hIcon), ::GetSystemMetrics(SM_CXSMICON))
        << "the shell is given the small image, not the large one to shrink";
}

// Moved to a monitor of other dots per inch, the window takes the size the system
// suggests and everything in it follows: toolbar pictures, tips' font, title-bar icons.
TEST_F(Launcher, AtOtherDotsPerInchEverythingFollowsTheWindow) {
    launcher->Move(1500, 1500, launcher->Width(), launcher->Height());
    launcher->Show();
    int dpi = launcher->Dpi();
    HWND toolbar = (*launcher)(L"tbToolbar").hwnd();
    auto iconSize = [&](WPARAM kind) {
        return toolkit::IconWidth(reinterpret_cast<HICON>(::SendMessageW(launcher->hwnd(), WM_GETICON, kind, 0)));
    };
    test::SaveScreenshot(launcher->hwnd(), L"launcher-" + std::to_wstring(dpi) + L"dpi");

    for (int next : {dpi * 3 / 2, dpi * 2, dpi}) {
        RECT now{};
        ::GetWindowRect(launcher->hwnd(), &now);
        RECT client{0, 0, (2415 * next + 720) / 1440, (615 * next + 720) / 1440};
        ::AdjustWindowRectExForDpi(&client, static_cast<DWORD>(::GetWindowLongPtrW(launcher->hwnd(), GWL_STYLE)), FALSE,
                                   static_cast<DWORD>(::GetWindowLongPtrW(launcher->hwnd(), GWL_EXSTYLE)),
                                   static_cast<UINT>(next));
        RECT suggested{now.left, now.top, now.left + client.right - client.left, now.top + client.bottom - client.top};
        ::SendMessageW(launcher->hwnd(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));

        RECT after{};
        ::GetWindowRect(launcher->hwnd(), &after);
        EXPECT_TRUE(::EqualRect(&after, &suggested)) << "the suggested rectangle is taken at " << next;
        EXPECT_EQ(launcher->Dpi(), next);
        EXPECT_NEAR(launcher->Width(), static_cast<float>(suggested.right - suggested.left) * 1440.0f / next, 1.0f)
            << "twips follow the window's own dots per inch";
        EXPECT_EQ(LOWORD(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0)), (next >= 168 ? 32 : next >= 120 ? 24 : 16) + 8);
        EXPECT_EQ(iconSize(ICON_SMALL), ::GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(next)));
        EXPECT_EQ(iconSize(ICON_BIG), ::GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(next)));
        RECT tools{}, inside{};
        ::GetWindowRect(toolbar, &tools);
        ::GetClientRect(launcher->hwnd(), &inside);
        EXPECT_LE(tools.bottom - tools.top, inside.bottom) << "the toolbar fits the window at " << next;
        test::SaveScreenshot(launcher->hwnd(), L"launcher-after-" + std::to_wstring(next) + L"dpi");
    }
}

}  // namespace
