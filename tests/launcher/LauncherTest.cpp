// The launcher window in-process: its texts, its system menu, its tray icon, and what
// follows a change of dots per inch.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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
// suggests and everything in it follows: twips, toolbar pictures, title-bar icons.
TEST_F(Launcher, AtOtherDotsPerInchEverythingFollowsTheWindow) {
    HWND window = launcher->hwnd(), toolbar = (*launcher)(L"tbToolbar").hwnd();
    launcher->Show();
    for (UINT dpi : {144u, 192u, 96u}) {
        RECT suggested{100, 100, 100 + static_cast<LONG>(2415 * dpi / 1440), 100 + static_cast<LONG>(615 * dpi / 1440)};
        ::AdjustWindowRectExForDpi(&suggested, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                                   static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
        ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT after{}, tools{}, inside{};
        ::GetWindowRect(window, &after);
        EXPECT_TRUE(::EqualRect(&after, &suggested)) << "the suggested rectangle is taken at " << dpi;
        EXPECT_NEAR(launcher->Width(), static_cast<float>(after.right - after.left) * 1440.0f / dpi, 1.0f) << dpi;
        EXPECT_EQ(LOWORD(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0)), (dpi >= 168 ? 32 : dpi >= 120 ? 24 : 16) + 8);
        auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(toolkit::IconWidth(icon), ::GetSystemMetricsForDpi(SM_CXSMICON, dpi)) << dpi;
        ::GetWindowRect(toolbar, &tools);
        ::GetClientRect(window, &inside);
        EXPECT_LE(tools.bottom - tools.top, inside.bottom) << "the toolbar fits the window at " << dpi;
    }
}

}  // namespace
