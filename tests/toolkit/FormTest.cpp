// Forms built from a design table: real controls, modal show, pop-up menus, unload
// reasons from real messages, placement in twips and the mouse-move event.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Screenshot.h"
#include "Support.h"
#include "errors/MExceptionHandler.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Form.h"
#include "toolkit/Screen.h"

using namespace qs;
using namespace qs::toolkit;

namespace {

// Records what the toolkit asks of a form.
class RecordingForm : public Form {
public:
    RecordingForm() : Form(test::DemoDesign()) {}
    std::vector<int> queryReasons;
    int unloads = 0;
    int loads = 0;
    bool cancelQuery = false;

protected:
    void Form_Load() override { ++loads; }
    void Form_QueryUnload(bool& cancel, int reason) override {
        queryReasons.push_back(reason);
        cancel = cancelQuery;
    }
    void Form_Unload(bool&) override { ++unloads; }
};

std::wstring WindowText(HWND window) {
    wchar_t text[256] = L"";
    ::GetWindowTextW(window, text, 256);
    return text;
}

TEST(Form, BuildsRealControlsFromTheDesign) {
    RecordingForm form;
    form.Load();
    ASSERT_TRUE(form.Loaded());
    EXPECT_EQ(form.loads, 1);
    EXPECT_FALSE(form.Visible()) << "loading does not show";
    EXPECT_EQ(form.Caption(), L"Configure Quorset");

    RECT client;
    ::GetClientRect(form.hwnd(), &client);
    float tpp = Screen::TwipsPerPixelX();
    EXPECT_NEAR(client.right * tpp, 6000, tpp);
    EXPECT_NEAR(client.bottom * tpp, 4200, tpp);

    HWND toolbar = form(L"tbToolbar").hwnd();
    EXPECT_EQ(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 5);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(::ImageList_GetImageCount(images), 5);
    EXPECT_EQ(::SendMessageW(form(L"tabTab").hwnd(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(WindowText(form(L"chkAutorun").hwnd()), L"&Run this program when Windows starts");
    EXPECT_EQ(form(L"chkAutorun").Value(), 1);
    EXPECT_EQ(form(L"chkAutoHide").Value(), 0);

    // A control inside the frame sits at the frame's place plus its own.
    RECT check;
    ::GetWindowRect(form(L"chkAutoHide").hwnd(), &check);
    ::MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&check), 2);
    EXPECT_NEAR(check.left * tpp, 240 + 240, tpp);
    EXPECT_NEAR(check.top * tpp, 1140 + 780, tpp);
}

TEST(Form, ButtonsCheckBoxesTabsAndToolbarButtonsRaiseTheirEvents) {
    RecordingForm form;
    form.Load();
    int okClicks = 0, tabClicks = 0;
    std::wstring pressed;
    form(L"cmdOK").Click = [&] { ++okClicks; };
    form(L"tabTab").Click = [&] { ++tabClicks; };
    form(L"tbToolbar").ButtonClick = [&](ToolbarButton& b) { pressed += b.Key + L"#" + std::to_wstring(b.Index) + L" "; };

    ::SendMessageW(form(L"cmdOK").hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(okClicks, 1);
    ::SendMessageW(form(L"chkAutoHide").hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(form(L"chkAutoHide").Value(), 1);

    HWND toolbar = form(L"tbToolbar").hwnd();
    for (int i : {2, 4}) {
        TBBUTTON b{};
        ::SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(b.idCommand, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
    }
    EXPECT_EQ(pressed, L"tamrel#3 www#5 ");

    NMHDR change{form(L"tabTab").hwnd(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(form(L"tabTab").hwnd(), TCM_SETCURSEL, 1, 0);
    ::SendMessageW(form.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(tabClicks, 1);
    EXPECT_EQ(form(L"tabTab").SelectedTab(), 2);
}

TEST(Form, UnloadReasonsComeFromTheRealMessages) {
    RecordingForm form;
    form.Load();
    form.Show();
    form.cancelQuery = true;
    ::SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box and the system menu's Close
    ::SendMessageW(form.hwnd(), WM_SYSKEYDOWN, VK_F4, 1 << 29);  // Alt+F4
    test::DrainMessages();
    ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);                 // another program
    form.Unload();                                               // code
    EXPECT_EQ(::SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, 0), FALSE) << "a cancel refuses the log-off";
    EXPECT_EQ(form.queryReasons, (std::vector<int>{0, 0, 3, 1, 2}));
    EXPECT_EQ(form.unloads, 0);
    EXPECT_TRUE(form.Loaded());

    form.cancelQuery = false;
    EXPECT_EQ(::SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(form.Loaded()) << "nothing ends before the session really ends";
    ::SendMessageW(form.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(form.queryReasons.back(), 2);
}

// Reads the open pop-up menu from inside its own loop and then chooses an item by keys.
struct MenuProbe {
    std::vector<std::wstring> items;
    int defaultItem = -1;
    static inline MenuProbe* current = nullptr;
    static inline int keysDown = 2;

    static void CALLBACK OnTimer(HWND window, UINT, UINT_PTR id, DWORD) {
        HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
        if (!menuWindow) return;
        ::KillTimer(window, id);
        HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = L"";
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
            info.dwTypeData = text;
            info.cch = 128;
            ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            current->items.push_back(info.fType & MFT_SEPARATOR ? L"-" : info.hSubMenu ? L">" + std::wstring(text) : text);
        }
        current->defaultItem = static_cast<int>(::GetMenuDefaultItem(menu, TRUE, 0));
        for (int i = 0; i < keysDown; ++i) ::PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    }
};

TEST(Form, PopupMenuLeavesOutHiddenItemsMarksTheDefaultAndRunsTheChoiceBeforeReturning) {
    RecordingForm form;
    form.Show();
    test::DrainMessages();
    std::string chosen;
    form(L"mnuPopupShowToolbar").Click = [&] { chosen += "show "; };
    form(L"mnuPopupHideToolbar").Click = [&] { chosen += "hide "; };
    MenuProbe probe;
    MenuProbe::current = &probe;
    MenuProbe::keysDown = 2;  // from nothing selected: Show Toolbar, then Hide Toolbar
    ::SetTimer(form.hwnd(), 1, 50, &MenuProbe::OnTimer);
    form.PopupMenu(form(L"mnuPopup"), vbPopupMenuRightButton, &form(L"mnuPopupShowToolbar"));
    EXPECT_EQ(chosen, "hide ") << "the command ran before PopupMenu returned";
    EXPECT_EQ(probe.items, (std::vector<std::wstring>{L"1401 Show Toolbar", L"1402 Hide Toolbar", L"-",
                                                      L"1403 Exit Quorset"}));
    EXPECT_EQ(probe.defaultItem, 0) << "Show Toolbar is the default, shown in bold";
}

TEST(Form, PlacementAndStateInTwips) {
    RecordingForm form;
    form.Load();
    float tpp = Screen::TwipsPerPixelX();
    form.Move(1500, 900, 7200, 5400);
    EXPECT_NEAR(form.Left(), 1500, tpp);
    EXPECT_NEAR(form.Top(), 900, tpp);
    EXPECT_NEAR(form.Width(), 7200, tpp);
    EXPECT_NEAR(form.Height(), 5400, tpp);
    RECT r;
    ::GetWindowRect(form.hwnd(), &r);
    EXPECT_NEAR(r.left * tpp, 1500, tpp);
    EXPECT_NEAR((r.right - r.left) * tpp, 7200, tpp);

    form.Show();
    form.WindowState(2);
    EXPECT_EQ(form.WindowState(), 2);
    EXPECT_TRUE(::IsZoomed(form.hwnd()));
    form.WindowState(0);
    EXPECT_EQ(form.WindowState(), 0);
    EXPECT_NEAR(form.Left(), 1500, tpp);

    // A hidden form keeps its state for the moment it is shown.
    form.Hide();
    form.WindowState(2);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.WindowState(), 2);
    form.Show();
    EXPECT_TRUE(::IsZoomed(form.hwnd()));
}

TEST(Form, MouseMoveCarriesTheCoordinatesInTheFormsScale) {
    RecordingForm form;
    form.Load();
    float lastX = -1;
    int lastButton = -1;
    form.MouseMove.Subscribe([&](int button, int, float x, float) {
        lastX = x;
        lastButton = button;
    });
    ::SendMessageW(form.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(516, 0));
    EXPECT_FLOAT_EQ(lastX, 516 * Screen::TwipsPerPixelX());
    EXPECT_FLOAT_EQ(ScaleX(lastX, vbTwips, vbPixels), 516);
    EXPECT_EQ(lastButton, 0);
    form.ScaleMode = vbPixels;
    ::SendMessageW(form.hwnd(), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(515, 0));
    EXPECT_FLOAT_EQ(lastX, 515);
    EXPECT_EQ(lastButton, 2);
}

TEST(Form, ADialogCentresOnItsOwnerInsideTheOwnersMonitor) {
    const RECT primary{0, 0, 1280, 984}, second{1280, 0, 3200, 1040};  // work areas
    const SIZE dialog{400, 300};
    struct Case {
        RECT owner, work;
        POINT expected;
    } cases[] = {
        {{2000, 400, 2200, 460}, second, {1900, 280}},  // a toolbar on the second monitor keeps its dialog there
        {{1300, 10, 1400, 50}, second, {1280, 0}},      // near that monitor's corner: pushed inside it, not back
        {{3100, 900, 3200, 960}, second, {2800, 740}},  // near its far corner
        {{540, 462, 740, 522}, primary, {440, 342}},    // the usual case
        {{-500, -500, -400, -450}, primary, {0, 0}},    // off every edge: the nearest monitor's corner
    };
    for (const Case& c : cases) {
        POINT at = CentreOver(c.owner, dialog, c.work);
        EXPECT_EQ(at.x, c.expected.x) << c.owner.left;
        EXPECT_EQ(at.y, c.expected.y) << c.owner.left;
    }
}

// A failure that no framed procedure takes, escaping to the window procedure: reported
// through the program's handler (message and report), and the form goes on.
class CallbackEdge : public test::HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        MExceptionHandler::InstallExceptionFilter();
    }
    void TearDown() override {
        MExceptionHandler::RemoveExceptionFilter();
        HandlerTest::TearDown();
    }
};

TEST_F(CallbackEdge, AFailureOutsideAnyFrameIsReportedAndTheFormGoesOn) {
    RecordingForm form;
    form.Load();
    int clicks = 0;
    form(L"cmdOK").Click = [&] {
        ++clicks;
        volatile int* nothing = nullptr;
        *nothing = 1;  // a fault in toolkit-level code, outside any frame
    };
    ::SendMessageW(form(L"cmdOK").hwnd(), BM_CLICK, 0, 0);
    ASSERT_EQ(notices.boxes.size(), 1u) << "reported, not swallowed";
    EXPECT_NE(notices.boxes[0].prompt.find(L"Error (10000)"), std::wstring::npos);
    EXPECT_NE(test::ReadBytes(report).find("10000"), std::string::npos) << "and written to the report";
    ::SendMessageW(form(L"cmdOK").hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2) << "the form still answers";
    EXPECT_EQ(notices.boxes.size(), 2u);
}

TEST(Form, HoveringAToolbarButtonShowsItsTip) {
    RecordingForm form;
    form.Load();
    form(L"tbToolbar").Buttons[1].ToolTipText = L"Start VuldIDE";
    form.Move(1500, 1500, form.Width(), form.Height());
    form.Show();
    test::DrainMessages();
    // Hover the second toolbar button so that its tool tip shows.
    RECT button;
    ::SendMessageW(form(L"tbToolbar").hwnd(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(form(L"tbToolbar").hwnd(), nullptr, reinterpret_cast<POINT*>(&button), 2);
    ::SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    HWND tip = reinterpret_cast<HWND>(::SendMessageW(form(L"tbToolbar").hwnd(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(test::WaitFor([&] { return ::IsWindowVisible(tip) != FALSE; }, 5000)) << "hovering shows the tip";
    wchar_t text[64] = L"";
    ::GetWindowTextW(tip, text, 64);
    EXPECT_STREQ(text, L"Start VuldIDE");
    test::SaveScreenshot(::GetDesktopWindow(), L"toolkit-demo");
}

}  // namespace
