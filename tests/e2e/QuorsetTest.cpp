// The real Quorset.exe, started from a program folder of its own and driven from
// outside: start-up, single instance, the tray menu, closing, exit, log-off, the task
// manager, the toolbar, languages, a reported failure and a re-created taskbar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "Screenshot.h"
#include "e2e/Driver.h"
#include "settings/RegistryHelpers.h"
#include "toolkit/Screen.h"

using namespace qs;
using namespace qs::test;

namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ClearProgramKeys(); }
    void TearDown() override { ClearProgramKeys(); }

    static RECT Rect(HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return r;
    }
    static std::string Placement() {
        Stored stored = ReadBack(kPositionsKey, L"frmLaunch");
        return stored.exists ? std::string(stored.bytes.c_str()) : "<none>";
    }
    // Clicks toolbar button `index` (1-based).
    static void PressButton(HWND launcher, int index) {
        HWND toolbar = ::FindWindowExW(launcher, nullptr, TOOLBARCLASSNAMEW, nullptr);
        ASSERT_NE(toolbar, nullptr);
        DWORD size = static_cast<DWORD>(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
        POINT at{(index - 1) * LOWORD(size) + LOWORD(size) / 2, HIWORD(size) / 2};
        ::ClientToScreen(toolbar, &at);
        ClickAt(at);
    }
    // Started and shown, in front, as a start without "/S" leaves it.
    HWND StartShown(Quorset& quorset) {
        quorset.Start();
        HWND launcher = quorset.Launcher();
        EXPECT_NE(launcher, nullptr);
        if (!launcher) return nullptr;
        EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == launcher; })) << "the toolbar comes to the front";
        Settle(launcher);
        return launcher;
    }
};

TEST_F(EndToEnd, AStartShowsTheToolbarCentredAndPutsTheIconInTheTray) {
    Quorset quorset;
    quorset.Start();
    HWND launcher = quorset.Launcher();
    ASSERT_NE(launcher, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; }));
    wchar_t title[64] = L"";
    ::GetWindowTextW(launcher, title, 64);
    EXPECT_STREQ(title, L"Quorset");
    RECT r = Rect(launcher);
    EXPECT_NEAR((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred on first start";
    EXPECT_NEAR((r.top + r.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == launcher; }));
    Settle(launcher);
    SaveScreenshot(::GetDesktopWindow(), L"e2e-launcher");
}

TEST_F(EndToEnd, TheSilentSwitchHidesTheToolbarButKeepsTheIcon) {
    for (auto [arguments, visible] : {std::pair{L"/S", false}, {L"-x /Silent", false}, {L"/s", true}}) {
        Quorset quorset;
        quorset.Start(arguments);
        HWND launcher = quorset.Launcher();
        ASSERT_NE(launcher, nullptr) << arguments;
        EXPECT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); })) << arguments;
        Settle(launcher);  // start-up has ended once its window answers
        EXPECT_EQ(::IsWindowVisible(launcher) != FALSE, visible) << arguments;
    }
}

TEST_F(EndToEnd, ASecondStartEndsAtOnceAndLeavesTheFirstAlone) {
    Quorset quorset;
    quorset.Start();
    HWND first = quorset.Launcher();
    ASSERT_NE(first, nullptr);
    HANDLE second = quorset.Start();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(quorset.EndedCleanly());
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_TRUE(Quorset::TrayIconPresent(first));
}

TEST_F(EndToEnd, TheTrayMenuHidesAndShowsAndADoubleClickShows) {
    Quorset quorset;
    quorset.Start();
    HWND launcher = quorset.Launcher();
    ASSERT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));

    Quorset::TrayCallback(launcher, WM_RBUTTONDOWN);
    ASSERT_TRUE(quorset.ChooseFromMenu(2, L"e2e-tray-menu"));  // Show Toolbar, Hide Toolbar
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(launcher); }));

    Quorset::TrayCallback(launcher, WM_RBUTTONDOWN);
    ASSERT_TRUE(quorset.ChooseFromMenu(1));  // Show Toolbar
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; }));

    ::PostMessageW(launcher, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(launcher); }));
    Quorset::TrayCallback(launcher, WM_RBUTTONUP);  // no menu, nothing happens
    Quorset::TrayCallback(launcher, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; }));
}

TEST_F(EndToEnd, ClosingOnlyHidesAndExitSavesThePlacementAndEnds) {
    Quorset quorset;
    quorset.Start();
    HWND launcher = quorset.Launcher();
    ASSERT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));

    ::PostMessageW(launcher, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(launcher); }));
    Quorset::TrayCallback(launcher, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == launcher; }));
    PressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(launcher); }));
    Settle(launcher);
    EXPECT_FALSE(quorset.Exited(0));
    EXPECT_TRUE(Quorset::TrayIconPresent(launcher));

    Quorset::TrayCallback(launcher, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; }));
    ::SetWindowPos(launcher, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before = Rect(launcher);
    Quorset::TrayCallback(launcher, WM_RBUTTONDOWN);
    ASSERT_TRUE(quorset.ChooseFromMenu(3));  // Show, Hide, (separator), Exit
    ASSERT_TRUE(quorset.EndedCleanly());
    EXPECT_FALSE(Quorset::TrayIconPresent(launcher));
    float tpp = toolkit::Screen::TwipsPerPixelX();
    auto twips = [&](long pixels) { return std::to_string(static_cast<long>(pixels * tpp)); };
    EXPECT_EQ(Placement(), "L=" + twips(before.left) + ";T=" + twips(before.top) + ";W=" +
                               twips(before.right - before.left) + ";H=" + twips(before.bottom - before.top) + ";S=0;");

    quorset.Start();
    HWND again = quorset.Launcher();
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(again) != FALSE; }));
    RECT after = Rect(again);
    EXPECT_EQ(after.left, before.left) << "a restart reopens the window where it was";
    EXPECT_EQ(after.top, before.top);
}

TEST_F(EndToEnd, APlacementOffTheRightEdgeComesBackOnScreen) {
    PlantBytes(kPositionsKey, L"frmLaunch", REG_SZ, "L=999990;T=600;W=2700;H=900;S=0;" + std::string(1, '\0'));
    Quorset quorset;
    quorset.Start();
    HWND launcher = quorset.Launcher();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; }));
    RECT r = Rect(launcher);
    EXPECT_EQ(r.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.top, 40);
}

TEST_F(EndToEnd, LogOffAndTheTaskManagerEndTheProgramThroughItsUnload) {
    {
        Quorset quorset;
        quorset.Start();
        HWND launcher = quorset.Launcher();
        ASSERT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));
        EXPECT_EQ(::SendMessageW(launcher, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        ::PostMessageW(launcher, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_TRUE(quorset.EndedCleanly());
        EXPECT_NE(Placement(), "<none>");
    }
    ClearProgramKeys();
    {
        Quorset quorset;
        quorset.Start(L"/S");
        HWND launcher = quorset.Launcher();
        ASSERT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));
        HWND application = quorset.Window(L"QuorsetApplication");
        ASSERT_NE(application, nullptr);
        ::PostMessageW(application, WM_CLOSE, 0, 0);
        EXPECT_TRUE(quorset.EndedCleanly());
        EXPECT_FALSE(Quorset::TrayIconPresent(launcher));
        EXPECT_NE(Placement(), "<none>");
    }
}

TEST_F(EndToEnd, AutoHideHidesTheToolbarWhenAnotherWindowIsActivated) {
    for (auto [stored, hides] : {std::pair{"True", true}, {"False", false}}) {
        ClearProgramKeys();
        PlantBytes(kSettingsKey, L"AutoHide", REG_SZ, std::string(stored) + '\0');
        Quorset quorset;
        HWND launcher = StartShown(quorset);
        ASSERT_NE(launcher, nullptr);
        OtherProgram other;
        EXPECT_TRUE(other.ClickToFront());
        if (hides) {
            EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(launcher); })) << stored;
        } else {
            Settle(launcher);
            EXPECT_TRUE(::IsWindowVisible(launcher)) << stored;
        }
    }
}

TEST_F(EndToEnd, ToolbarButtonsStartTheProgramsOrSayTheyCannot) {
    // The started programs take the focus; the toolbar stays for the next click.
    PlantBytes(kSettingsKey, L"AutoHide", REG_SZ, std::string("False") + '\0');
    Quorset quorset;
    std::filesystem::path marker = App::Path() + L"\\vuldsub_marker.exe";
    std::filesystem::copy_file(marker, quorset.folder.Path() / L"vuld.exe");
    std::filesystem::copy_file(marker, quorset.folder.Path() / L"vuldide.exe");
    HWND launcher = StartShown(quorset);
    ASSERT_NE(launcher, nullptr);
    PressButton(launcher, 1);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(quorset.folder.Path() / L"vuld.started"); }));
    PressButton(launcher, 2);
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(quorset.folder.Path() / L"vuldide.started"); }));

    PressButton(launcher, 3);  // the updater is not there
    HWND box = quorset.MessageBoxWindow();
    ASSERT_NE(box, nullptr);
    SaveScreenshot(box, L"e2e-launch-failed");
    EXPECT_EQ(Quorset::ReadAndClose(box),
              L"The program could not be started. Please check that it is installed in the Quorset folder.");
    PressButton(launcher, 4);  // no help for the locale
    box = quorset.MessageBoxWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Quorset::ReadAndClose(box).rfind(L"The help file could not be opened.", 0), 0u);
}

// Run by the German ctest entry, whose locale is German.
TEST_F(EndToEnd, GermanUsersGetGermanTextsOrEnglishWithoutTheGermanComponent) {
    if (::GetUserDefaultLCID() != 1031) GTEST_SKIP() << "runs in a German locale";
    {
        Quorset quorset;
        HWND launcher = StartShown(quorset);
        ASSERT_NE(launcher, nullptr);
        PressButton(launcher, 1);
        HWND box = quorset.MessageBoxWindow();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Quorset::ReadAndClose(box).rfind(L"Das Programm konnte nicht gestartet werden.", 0), 0u);
    }
    {
        Quorset quorset({L"Vuld1033.dll"});
        HWND launcher = StartShown(quorset);
        ASSERT_NE(launcher, nullptr);
        PressButton(launcher, 1);
        HWND box = quorset.MessageBoxWindow();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Quorset::ReadAndClose(box).rfind(L"The program could not be started.", 0), 0u);
    }
}

TEST_F(EndToEnd, WithoutResourceComponentsTheFailureIsReportedWithTheWholeStack) {
    wchar_t appData[MAX_PATH];
    ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    std::filesystem::path reportFolder = std::filesystem::path(appData) / L"BROM" / L"VULD";
    std::filesystem::create_directories(reportFolder);
    std::filesystem::remove(reportFolder / L"errorlog.txt");

    Quorset quorset(std::vector<std::wstring>{});
    quorset.Start();
    HWND box = quorset.MessageBoxWindow();
    ASSERT_NE(box, nullptr);
    SaveScreenshot(box, L"e2e-error-message");
    // The report is written before the message shows.
    std::string report = ReadBytes((reportFolder / L"errorlog.txt").wstring());
    std::wstring message = Quorset::ReadAndClose(box);
    EXPECT_EQ(message.rfind(L"The following error has occurred in procedure: \r\nmodLanguage.LoadFormResources on line ", 0),
              0u);
    EXPECT_TRUE(message.ends_with(L"\r\nError (429) ActiveX component can't create object"));
    EXPECT_NE(report.find("Procedure Stack\r\n---------------\r\n"
                          "01  modStartup.Main\r\n"
                          "02    frmLaunch.Form_Load\r\n"
                          "03      frmLaunch.LoadResources\r\n"
                          "04        modLanguage.LoadFormResources\r\n\r\n"),
              std::string::npos)
        << report;
    // Further failures of the same start are reported one by one; the program goes on.
    while (HWND next = quorset.MessageBoxWindow(2000)) Quorset::ReadAndClose(next);
    EXPECT_FALSE(quorset.Exited(0));
}

TEST_F(EndToEnd, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    Quorset quorset;
    quorset.Start(L"/S");
    HWND launcher = quorset.Launcher();
    ASSERT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = launcher;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));  // as a restarted shell has forgotten it
    EXPECT_FALSE(Quorset::TrayIconPresent(launcher));
    ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Quorset::TrayIconPresent(launcher); }));
}

}  // namespace

namespace {

TEST_F(EndToEnd, AnUnloadAfterAFailedLoadReportsError91AndTheProgramStillEnds) {
    Quorset quorset(std::vector<std::wstring>{});  // no resource component: the load stops early
    quorset.Start();
    HWND launcher = quorset.Launcher();
    ASSERT_NE(launcher, nullptr);
    while (HWND box = quorset.MessageBoxWindow(2000)) Quorset::ReadAndClose(box);

    EXPECT_EQ(::SendMessageW(launcher, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::PostMessageW(launcher, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    HWND box = quorset.MessageBoxWindow();
    ASSERT_NE(box, nullptr) << "the unload's failure is reported";
    std::wstring message = Quorset::ReadAndClose(box);
    EXPECT_EQ(message.rfind(L"The following error has occurred in procedure: \r\nfrmLaunch.Form_Unload on line ", 0), 0u)
        << std::string(message.begin(), message.end());
    EXPECT_TRUE(message.ends_with(L"Error (91) Object variable or With block variable not set"));
    EXPECT_TRUE(quorset.EndedCleanly());
}

TEST_F(EndToEnd, ThePointerMovingOverTheToolbarWindowNeverOpensTheTrayMenu) {
    // A window wide enough for the pointer to stand at x = 515 and 516 of its client area.
    PlantBytes(kPositionsKey, L"frmLaunch", REG_SZ, "L=1500;T=1500;W=9600;H=1200;S=0;" + std::string(1, '\0'));
    Quorset quorset;
    HWND launcher = StartShown(quorset);
    ASSERT_NE(launcher, nullptr);
    RECT client{};
    ::GetClientRect(launcher, &client);
    ASSERT_GT(client.right, 520);
    for (int x : {WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDOWN + 1}) {
        POINT at{x, client.bottom - 2};  // below the toolbar, on the window itself
        ::ClientToScreen(launcher, &at);
        MovePointer(at);
        Settle(launcher);
        EXPECT_EQ(quorset.OpenMenu(0), nullptr) << "a pointer move at x = " << x << " opened the tray menu";
        EXPECT_EQ(::GetForegroundWindow(), launcher);
    }
    // The shell's notification of the same number still opens it.
    Quorset::TrayCallback(launcher, WM_RBUTTONDOWN);
    EXPECT_TRUE(quorset.ChooseFromMenu(1));
}

// The prefix's dots per inch for the programs started while it lives.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) { Plant(L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi); }
    ~ScreenDpi() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels"); }
};

TEST_F(EndToEnd, AtOneAndAHalfTimesTheDotsPerInchEverythingGrowsAlike) {
    ScreenDpi dpi(144);
    Quorset quorset;
    HWND launcher = StartShown(quorset);
    ASSERT_NE(launcher, nullptr);
    RECT client{};
    ::GetClientRect(launcher, &client);
    EXPECT_EQ(client.right, 242) << "2415 twips at 10 twips a pixel";
    EXPECT_EQ(client.bottom, 62);
    HWND toolbar = ::FindWindowExW(launcher, nullptr, TOOLBARCLASSNAMEW, nullptr);
    DWORD size = static_cast<DWORD>(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
    EXPECT_EQ(LOWORD(size), 32) << "24-pixel pictures";
    SaveScreenshot(launcher, L"e2e-launcher-144dpi");

    ::PostMessageW(launcher, WM_SYSCOMMAND, 1001, 0);  // Configure
    HWND dialog = quorset.Dialog(launcher);
    ASSERT_NE(dialog, nullptr);
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 593) << "5925 twips";
    Settle(dialog);
    SaveScreenshot(dialog, L"e2e-configure-144dpi");
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
}

}  // namespace
