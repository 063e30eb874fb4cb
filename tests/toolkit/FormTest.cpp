// Forms built from a design table: controls placed inside their containers, pop-up menus,
// the toolbar's pictures under high contrast and the failures that reach a window procedure.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Support.h"
#include "errors/MExceptionHandler.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Form.h"
#include "toolkit/FormParts.h"
#include "toolkit/Screen.h"

using namespace qs;
using namespace qs::toolkit;

namespace {

// The reasons a form is unloaded for are checked end to end, by what the toolbar window
// does at each (tests/e2e).

// The sizes of the windows are seen end to end (their client areas at 144 dots per inch).
TEST(Form, ControlsStandInsideTheirContainers) {
    Form form(test::DemoDesign());
    form.Load();
    float tpp = Screen::TwipsPerPixelX();
    RECT check;
    ::GetWindowRect(form(L"chkAutoHide").hwnd(), &check);
    ::MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&check), 2);
    EXPECT_NEAR(check.left * tpp, 240 + 240, tpp) << "the frame's place plus its own";
    EXPECT_NEAR(check.top * tpp, 1140 + 780, tpp);
}

// The open menu, read from inside its own loop; then Down, Down, Enter.
std::vector<std::wstring> gMenuItems;
int gMenuDefault = -1;
HWND gInFront = nullptr;  // the foreground window while the menu is open
void CALLBACK ReadAndChoose(HWND window, UINT, UINT_PTR id, DWORD) {
    HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
    if (!menuWindow) return;
    ::KillTimer(window, id);
    gInFront = ::GetForegroundWindow();
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = L"-";
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        gMenuItems.push_back(text[0] ? text : L"-");
    }
    gMenuDefault = static_cast<int>(::GetMenuDefaultItem(menu, TRUE, 0));
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) ::PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
}

// The shell's rules for a notification icon's menu: its owner is brought to the front
// (another window was there), and a message posted to it after the menu has closed.
TEST(Form, APopupMenuLeavesOutHiddenItemsMarksTheDefaultAndRunsTheChoiceBeforeReturning) {
    Form form(test::DemoDesign()), other(test::DemoDesign());
    form.Show();
    other.Show();
    test::DrainMessages();
    ASSERT_EQ(::GetForegroundWindow(), other.hwnd());
    std::string chosen;
    form(L"mnuPopupHideToolbar").Click = [&] { chosen += "hide"; };
    ::SetTimer(form.hwnd(), 1, 50, &ReadAndChoose);
    form.PopupMenu(form(L"mnuPopup"), vbPopupMenuRightButton, &form(L"mnuPopupShowToolbar"));
    EXPECT_EQ(gInFront, form.hwnd()) << "the owner is in front while its menu is open";
    bool nullPosted = false;
    for (MSG m; ::PeekMessageW(&m, form.hwnd(), 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE);) nullPosted |= m.message == WM_NULL;
    EXPECT_TRUE(nullPosted) << "a message follows the menu, so that it closes properly";
    EXPECT_EQ(chosen, "hide") << "the command ran before PopupMenu returned";
    EXPECT_EQ(gMenuItems, (std::vector<std::wstring>{L"1401 Show Toolbar", L"1402 Hide Toolbar", L"-", L"1403 Exit Quorset"}));
    EXPECT_EQ(gMenuDefault, 0) << "Show Toolbar is the default, shown in bold";
}

// The system cannot be put in high contrast under Wine (its switch is refused); the
// pictures the toolbar takes for it are checked as they are made, in a scheme of yellow
// button text and cyan text on the highlight (which may fill the hot button).
TEST(Form, UnderHighContrastTheToolbarPicturesHoldOnlyTheSchemesTextColours) {
    const int elements[] = {COLOR_BTNTEXT, COLOR_HIGHLIGHTTEXT};
    const COLORREF scheme[] = {RGB(255, 255, 0), RGB(0, 255, 255)};
    const COLORREF before[] = {::GetSysColor(elements[0]), ::GetSysColor(elements[1])};
    ASSERT_TRUE(::SetSysColors(2, elements, scheme));
    const int inks[] = {detail::kFullColour, COLOR_BTNTEXT, COLOR_HIGHLIGHTTEXT};
    const DWORD expected[] = {0xFFFF00, 0xFFFF00, 0x00FFFF};
    for (int size : {16, 24, 32}) {
        size_t shown[3] = {}, foreign[3] = {};  // pixels not transparent, and not of the ink
        for (int i = 0; i < 3; ++i) {
            unique_hbitmap strip = detail::PictureStrip(test::DemoDesign().controls[0].pictures, size, inks[i]);
            DIBSECTION dib{};
            ASSERT_TRUE(::GetObjectW(strip.get(), sizeof dib, &dib));
            const auto* pixel = static_cast<const DWORD*>(dib.dsBm.bmBits);
            for (const auto* end = pixel + size * size * 5; pixel < end; ++pixel) {
                shown[i] += (*pixel >> 24) != 0;
                foreign[i] += (*pixel >> 24) && (*pixel & 0xFFFFFF) != expected[i];
            }
        }
        EXPECT_GT(foreign[0], 0u) << size;
        EXPECT_EQ(foreign[1] + foreign[2], 0u) << size;
        EXPECT_EQ(shown[1], shown[2]) << size;
        EXPECT_GT(shown[1], shown[0] / 2) << size << ": the same shapes";
        EXPECT_LT(shown[1], shown[0]) << size << ": with their symbols cut out";
    }
    ::SetSysColors(2, elements, before);
}

// A processor fault in a control's handler outside any frame escapes to the window
// procedure: reported through the program's handler (its message, which writes the report
// as well), each time, and the form goes on. Inside a framed procedure the frame takes it,
// as the exception filter's test shows.
class CallbackEdge : public test::HandlerTest {};

TEST_F(CallbackEdge, AProcessorFaultInAHandlerIsReportedAndTheFormGoesOn) {
    MExceptionHandler::InstallExceptionFilter();
    Form form(test::DemoDesign());
    form.Load();
    int clicks = 0;
    form(L"cmdOK").Click = [&] {
        volatile int* nothing = nullptr;
        ++clicks;
        *nothing = 1;
    };
    for (int click = 1; click <= 2; ++click) {
        ::SendMessageW(form(L"cmdOK").hwnd(), BM_CLICK, 0, 0);
        EXPECT_EQ(clicks, click) << "the form still answers";
        ASSERT_EQ(notices.boxes.size(), size_t(click)) << "reported, not swallowed";
        EXPECT_NE(notices.boxes.back().prompt.find(L"Error (10000)"), std::wstring::npos);
    }
    MExceptionHandler::RemoveExceptionFilter();
}

}  // namespace
