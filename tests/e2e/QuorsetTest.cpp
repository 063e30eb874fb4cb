// The real Quorset.exe, started from a program folder of its own and driven from
// outside: start-up, single instance, the tray menu, closing, exit, log-off, the
// toolbar, languages, reported failures and a re-created taskbar. The task manager's
// end closes most tests.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <regex>

#include "Screenshot.h"
#include "e2e/Driver.h"
#include "settings/RegistryHelpers.h"
#include "toolkit/Screen.h"

using namespace qs;
using namespace qs::test;

namespace {

const std::wstring kDesktopKey = L"Control Panel\\Desktop";

class EndToEnd : public WithoutProgramKeys {
protected:
    void TearDown() override {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey.c_str(), L"LogPixels");
        WithoutProgramKeys::TearDown();
    }
    static RECT Rect(HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return r;
    }
    static std::string Placement() {
        Stored stored = ReadBack(kPositionsKey, L"frmLaunch");
        return stored.exists ? std::string(stored.bytes.c_str()) : "<none>";
    }
    static bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }
};

TEST_F(EndToEnd, AStartShowsTheToolbarCentredOnceAndTheSilentSwitchKeepsOnlyTheIcon) {
    Quorset quorset;
    HWND launcher = quorset.StartShown();
    EXPECT_EQ(TextOf(launcher), L"Quorset");
    RECT r = Rect(launcher);
    EXPECT_NEAR((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred on first start";
    EXPECT_NEAR((r.top + r.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(launcher); }));
    SaveScreenshot(::GetDesktopWindow(), L"e2e-launcher");

    // A second start ends at once and the first stays, also when a shortcut spells the
    // program's path in other letters.
    std::wstring shouted = (quorset.folder.Path() / L"Quorset.exe").wstring();
    ::CharUpperBuffW(shouted.data(), static_cast<DWORD>(shouted.size()));
    ASSERT_NE(quorset.Start(L"/S", true, shouted), nullptr);
    EXPECT_TRUE(quorset.EndedCleanly());
    EXPECT_TRUE(Visible(launcher));
    EXPECT_TRUE(TrayIconPresent(launcher));

    for (auto [arguments, visible] : {std::pair{L"/S", false}, {L"-x /Silent", false}, {L"/s", true}}) {
        Quorset silent;
        launcher = silent.StartToTray(arguments);
        EXPECT_EQ(Visible(launcher), visible) << arguments;
    }
}

TEST_F(EndToEnd, ClosingOnlyHidesAndExitSavesThePlacementAndEnds) {
    Quorset quorset;
    HWND launcher = quorset.StartToTray();
    // A log-off that another program refused and the user cancelled changes nothing.
    EXPECT_EQ(::SendMessageW(launcher, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageW(launcher, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    ClickAt(CloseBoxAt(launcher));
    EXPECT_TRUE(WaitFor([&] { return !Visible(launcher); }));
    Settle(launcher);
    EXPECT_FALSE(quorset.Exited(0)) << "the close box after a cancelled log-off only hides";
    TrayCallback(launcher, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == launcher; }));
    PressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(WaitFor([&] { return !Visible(launcher); }));
    Settle(launcher);
    EXPECT_FALSE(quorset.Exited(0));
    EXPECT_TRUE(TrayIconPresent(launcher));

    TrayCallback(launcher, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return Visible(launcher); }));
    ::SetWindowPos(launcher, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before = Rect(launcher);
    ASSERT_TRUE(quorset.ChooseFromTrayMenu(launcher, {'X'}, [&] { return quorset.Exited(0); }));  // Exit
    ASSERT_TRUE(quorset.EndedCleanly());
    EXPECT_FALSE(TrayIconPresent(launcher));
    auto twips = [](long pixels) { return std::to_string(static_cast<long>(pixels * toolkit::Screen::TwipsPerPixelX())); };
    EXPECT_EQ(Placement(), "L=" + twips(before.left) + ";T=" + twips(before.top) + ";W=" +
                               twips(before.right - before.left) + ";H=" + twips(before.bottom - before.top) + ";S=0;");

    quorset.Start();
    HWND again = quorset.Launcher();
    ASSERT_TRUE(WaitFor([&] { return again && Visible(again); }));
    EXPECT_EQ(Rect(again).left, before.left) << "a restart reopens the window where it was";
    EXPECT_EQ(Rect(again).top, before.top);
}

// Hidden by the tray menu, a maximised or minimised window is saved in its state, and
// comes back in it; it is saved so by Exit and at the session's end.
TEST_F(EndToEnd, AHiddenWindowIsSavedInTheStateItWasShownIn) {
    for (auto [state, shownIn] : {std::pair{"S=2;", &::IsZoomed}, {"S=1;", &::IsIconic}}) {
        PlantBytes(kPositionsKey, L"frmLaunch", REG_SZ, "L=1500;T=1500;W=4800;H=900;" + std::string(state) + '\0');
        Quorset quorset;
        for (int start = 1; start <= 2; ++start) {
            HWND launcher = quorset.StartToTray();
            EXPECT_TRUE(WaitFor([&] { return Visible(launcher) && shownIn(launcher); })) << state << " start " << start;
            ASSERT_TRUE(quorset.ChooseFromTrayMenu(launcher, {'H'}, [&] { return !Visible(launcher); }));
            if (start == 1) {
                ASSERT_TRUE(quorset.ChooseFromTrayMenu(launcher, {'X'}, [&] { return quorset.Exited(0); }));
            } else {  // the session ends
                EXPECT_EQ(::SendMessageW(launcher, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
                ::PostMessageW(launcher, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            }
            ASSERT_TRUE(quorset.EndedCleanly());
            EXPECT_FALSE(TrayIconPresent(launcher));
            EXPECT_TRUE(Placement().ends_with(state)) << Placement();
        }
    }
}

// At log-on the notification area may not answer yet: the failed add is reported, and
// the icon comes once the shell is ready, on the program's own retry. A new taskbar, as
// after the shell restarted, asks for the icons again: one the shell forgot comes back.
TEST_F(EndToEnd, AnIconTheShellCouldNotTakeAtLogOnOrForgotComesBack) {
    Quorset quorset;
    HWND launcher = nullptr;
    {
        UnreadyShell shell;
        quorset.Start(L"/S", false);
        EXPECT_NE(quorset.ReadBox().find(L"Could not show icon"), std::wstring::npos);
        launcher = quorset.Launcher();
        ASSERT_NE(launcher, nullptr);
        EXPECT_FALSE(TrayIconPresent(launcher));
    }
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(launcher); }));
    TrayCallback(launcher, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return Visible(launcher); })) << "the icon answers";

    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = launcher;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));  // as a restarted shell has forgotten it
    ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(launcher); }));
}

// The shell may also answer an add with failure and take the icon all the same: the
// failure is reported, the icon is the program's, and Exit takes it away (the shell
// would otherwise keep a dead icon until the pointer passed over it).
TEST_F(EndToEnd, AnIconTheShellTookAfterAnsweringFailureIsTheProgramsAndGoesAtExit) {
    Quorset quorset;
    UnreadyShell shell(true);
    quorset.Start(L"/S", false);
    EXPECT_NE(quorset.ReadBox().find(L"Could not show icon"), std::wstring::npos);
    HWND launcher = quorset.Launcher();
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(TrayIconPresent(launcher));
    EXPECT_TRUE(quorset.ChooseFromTrayMenu(launcher, {'X'}, [&] { return quorset.Exited(0); }));
    ASSERT_TRUE(quorset.EndedCleanly());
    EXPECT_EQ(shell.Deletes(), 1) << "the icon was taken away";
}

TEST_F(EndToEnd, ToolbarButtonsStartTheProgramsOrSayTheyCannot) {
    // The started programs take the focus; the toolbar stays for the next click.
    StoreSetting(L"AutoHide", "False");
    Quorset quorset;
    for (const wchar_t* program : {L"vuld", L"vuldide"}) quorset.PlaceProgram(program);
    HWND launcher = quorset.StartShown();
    MovePointer(ToolbarButtonAt(launcher, 3));  // resting on a button shows its tip
    EXPECT_NE(quorset.Find([](HWND w) { return ClassOf(w) == TOOLTIPS_CLASSW && ::IsWindowVisible(w) &&
                                                TextOf(w) == L"Check for updates with Tamrel"; }),
              nullptr);

    // Each program starts in the program folder, whatever folder Quorset started in.
    PressToolbarButton(launcher, 1);
    EXPECT_TRUE(quorset.ProgramStarted(L"vuld"));
    PressToolbarButton(launcher, 2);
    EXPECT_TRUE(quorset.ProgramStarted(L"vuldide"));

    PressToolbarButton(launcher, 3);  // the updater is not there
    HWND box = quorset.MessageBoxWindow();
    ASSERT_NE(box, nullptr);
    Settle(box);  // drawn
    SaveScreenshot(box, L"e2e-launch-failed");
    EXPECT_EQ(ReadAndClose(box),
              L"The program could not be started. Please check that it is installed in the Quorset folder.");
    PressToolbarButton(launcher, 4);  // no help for the locale
    EXPECT_EQ(quorset.ReadBox().rfind(L"The help file could not be opened.", 0), 0u);
}

// A person without a mouse: the toolbar has the focus and a mark, the keys move and press
// it, Escape hides the window, and the tray menu answers the keys the shell turns into a
// right click on the icon. Screen readers name the toolbar and each button by its tip.
TEST_F(EndToEnd, TheKeyboardAloneStartsTheProgramsHidesTheWindowAndWorksTheTrayMenu) {
    StoreSetting(L"AutoHide", "False");
    Quorset quorset;
    for (const wchar_t* program : {L"vuld", L"brupdate"}) quorset.PlaceProgram(program);
    MovePointer({2, 2});  // the mouse rests far away (over a button, it would mark that one)
    HWND launcher = quorset.StartShown();
    HWND toolbar = ::FindWindowExW(launcher, nullptr, TOOLBARCLASSNAMEW, nullptr);
    auto mark = [&] { return ::SendMessageW(toolbar, TB_GETHOTITEM, 0, 0); };
    EXPECT_EQ(TextOf(toolbar), L"Quorset");
    EXPECT_EQ(ButtonTextsOf(toolbar), (std::vector<std::wstring>{L"Start Vuld", L"Start VuldIDE", L"Check for updates with Tamrel",
                                                                  L"Open the Vuld help", L"Visit BROM on the Web"}));
    EXPECT_EQ(FocusedWindow(), toolbar);
    EXPECT_EQ(mark(), 0);

    PressKeys({VK_RETURN});
    EXPECT_TRUE(quorset.ProgramStarted(L"vuld"));
    static LONG focused = 0;  // the button a screen reader last heard has the focus (from 1)
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                           [](HWINEVENTHOOK, DWORD, HWND, LONG, LONG child, DWORD, DWORD) { focused = child; },
                                           ProcessOf(launcher), 0, WINEVENT_OUTOFCONTEXT);
    for (WORD key : {VK_END, VK_LEFT, VK_LEFT}) PressKeys({key});
    EXPECT_TRUE(WaitFor([&] { return mark() == 2 && focused == 3; })) << "mark " << mark() << ", heard " << focused;
    SaveScreenshot(launcher, L"e2e-launcher-keyboard");
    // The pointer marks the button it moves to, which is heard too; resting there (a
    // window under it coming or going sends it the same place again) it leaves the mark
    // to the keys.
    POINT fifth = ToolbarButtonAt(launcher, 5);
    MovePointer(fifth);
    EXPECT_TRUE(WaitFor([&] { return mark() == 4 && focused == 5; })) << "mark " << mark() << ", heard " << focused;
    ::UnhookWinEvent(hook);
    for (WORD key : {VK_LEFT, VK_LEFT}) PressKeys({key});
    EXPECT_TRUE(WaitFor([&] { return mark() == 2; }));
    MovePointer(fifth);
    Settle(launcher);
    EXPECT_EQ(mark(), 2);
    PressKeys({VK_SPACE});
    EXPECT_TRUE(quorset.ProgramStarted(L"brupdate"));
    EXPECT_EQ(quorset.MessageBoxWindow(0), nullptr);  // Space pressed once, not again for its character

    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitFor([&] { return !Visible(launcher); }));
    EXPECT_TRUE(TrayIconPresent(launcher));
    ASSERT_TRUE(quorset.ChooseFromTrayMenu(launcher, {VK_DOWN, VK_RETURN}, [&] { return Visible(launcher); }));  // the first item: Show Toolbar
    EXPECT_TRUE(WaitFor([&] { return Visible(launcher) && FocusedWindow() == toolbar; }));
    EXPECT_EQ(mark(), 2) << "the mark stays where it was";
    ASSERT_TRUE(quorset.ChooseFromTrayMenu(launcher, {VK_UP, VK_RETURN}, [&] { return quorset.Exited(0); }));  // from the top round to the last: Exit
    EXPECT_TRUE(quorset.EndedCleanly());
}

// Run by the German ctest entry, whose locale is German.
TEST_F(EndToEnd, GermanUsersGetGermanTextsOrEnglishWithoutAWorkingGermanComponent) {
    if (::GetUserDefaultLCID() != 1031) GTEST_SKIP() << "runs in a German locale";
    // The German component present, missing, or there but damaged (cannot be created).
    for (auto [components, damaged, message, tip] :
         {std::tuple{std::vector<std::wstring>{L"Vuld1033.dll", L"Vuld1031.dll"}, false, L"Das Programm konnte nicht gestartet werden.",
                     L"Vuld starten"},
          {std::vector<std::wstring>{L"Vuld1033.dll"}, false, L"The program could not be started.", L"Start Vuld"},
          {std::vector<std::wstring>{L"Vuld1033.dll"}, true, L"The program could not be started.", L"Start Vuld"}}) {
        Quorset quorset(components);
        if (damaged) WriteBytes(quorset.folder.File(L"Vuld1031.dll"), ReadBytes(App::Path() + L"\\Vuld1031.dll").substr(0, 4096));
        HWND launcher = quorset.StartShown();
        auto names = ButtonTextsOf(::FindWindowExW(launcher, nullptr, TOOLBARCLASSNAMEW, nullptr));
        ASSERT_EQ(names.size(), 5u);
        EXPECT_EQ(names[0], tip) << "what a screen reader says of the first button";
        PressToolbarButton(launcher, 1);
        EXPECT_EQ(quorset.ReadBox().rfind(message, 0), 0u) << components.size() << damaged;
    }
}

// Without resource components the load fails early: reported with the whole stack, the
// program goes on, and the unload at log-off then meets a placement store never made.
TEST_F(EndToEnd, WithoutResourceComponentsFailuresAreReportedAndTheProgramStillEnds) {
    const std::filesystem::path report = FolderOf(L"APPDATA") / L"BROM" / L"VULD" / L"errorlog.txt";
    std::filesystem::create_directories(report.parent_path());
    std::filesystem::remove(report);

    Quorset quorset(std::vector<std::wstring>{});
    quorset.Start();
    HWND box = quorset.MessageBoxWindow();
    ASSERT_NE(box, nullptr);
    SaveScreenshot(box, L"e2e-error-message");
    std::string written = ReadBytes(report.wstring());  // written before the message shows
    std::wstring message = ReadAndClose(box);
    EXPECT_EQ(message.rfind(L"The following error has occurred in procedure: \r\nmodLanguage.LoadFormResources on line ", 0),
              0u);
    EXPECT_TRUE(message.ends_with(L"\r\nError (429) ActiveX component can't create object"));
    // Every line of the report, but the time and the line number, which vary.
    wchar_t system[MAX_PATH] = L"";
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(std::regex_replace(written, std::regex("(Current Time   : |Error Line     : )[^\r]+"), "$1*"),
              "Quorset Application Error Information\r\n" + std::string(36, '=') + "\r\nCurrent Time   : *\r\n"
              "Error String   : ActiveX component can't create object\r\nError Number   : 429\r\nError Line     : *\r\n"
              "Error Procedure: modLanguage.LoadFormResources\r\n\r\nProcedure Stack\r\n---------------\r\n"
              "01  modStartup.Main\r\n02    frmLaunch.Form_Load\r\n03      frmLaunch.LoadResources\r\n"
              "04        modLanguage.LoadFormResources\r\n\r\n\r\nAdditional Information\r\n----------------------\r\n"
              "Current Directory: " + Ansi(system) + "\r\nApp Title: Quorset\r\nApp CompanyName: Brom\r\nApp Major: 1\r\n"
              "App Minor: 0\r\nApp Revision: 0\r\nApp Path: " + Ansi(quorset.folder.Path().wstring()) +
              "\r\nApp ProductName: Quorset\r\n");
    while (HWND further = quorset.MessageBoxWindow(2000)) ReadAndClose(further);  // the start's further failures
    EXPECT_FALSE(quorset.Exited(0));

    HWND launcher = quorset.Launcher();
    EXPECT_EQ(::SendMessageW(launcher, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::PostMessageW(launcher, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    message = quorset.ReadBox();  // the unload's failure is reported
    EXPECT_EQ(message.rfind(L"The following error has occurred in procedure: \r\nfrmLaunch.Form_Unload on line ", 0), 0u);
    EXPECT_TRUE(message.ends_with(L"Error (91) Object variable or With block variable not set"));
    EXPECT_TRUE(quorset.EndedCleanly());
}

// A fault on a thread that no frame guards (one started from outside, at address 0) is
// the platform's to handle, which ends the program: another process leaves a dump of it
// where Windows keeps crash dumps, a folder it makes when missing, of the program's five
// newest there the only new one.
TEST_F(EndToEnd, AFaultNoFrameCanTakeEndsTheProgramAndLeavesADump) {
    std::filesystem::path folder = FolderOf(L"LOCALAPPDATA") / L"CrashDumps";
    for (bool folderThere : {false, true}) {
        std::filesystem::remove_all(folder);
        std::vector<std::wstring> earlier;  // of earlier crashes
        for (int day = 1; folderThere && day <= 5; ++day) {
            std::filesystem::create_directories(folder);
            earlier.push_back(L"Quorset-2026010" + std::to_wstring(day) + L"-120000-7.dmp");
            WriteBytes((folder / earlier.back()).wstring(), "an earlier dump");
        }
        Quorset quorset;
        quorset.StartToTray(L"/S");
        DWORD thread = 0;
        HANDLE fault = ::CreateRemoteThread(quorset.Processes().back(), nullptr, 0, nullptr, nullptr, 0, &thread);
        ASSERT_NE(fault, nullptr) << SystemError();
        ::CloseHandle(fault);
        ASSERT_TRUE(quorset.Exited(60000));  // the dump is written first, in up to 30 s
        auto dumps = DumpsIn(folder);
        ASSERT_EQ(dumps.size(), folderThere ? 5u : 1u);
        EXPECT_EQ(std::vector(dumps.begin(), dumps.end() - 1),
                  std::vector(earlier.begin() + (folderThere ? 1 : 0), earlier.end()));
        EXPECT_TRUE(dumps.back().ends_with(L"-" + std::to_wstring(::GetProcessId(quorset.Processes().back())) + L".dmp"));
        auto exception = DumpedException((folder / dumps.back()).wstring());
        ASSERT_TRUE(exception) << "a minidump whose streams lie inside it";
        EXPECT_EQ(exception->ThreadId, thread);
        EXPECT_EQ(exception->ExceptionRecord.ExceptionCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }
    std::filesystem::remove_all(folder);
}

// The tray menu hides and shows the toolbar (a double click on the icon shows it as well:
// tests/reliability, the soak); only the shell's notification opens it, not the pointer
// moving over the toolbar window, which comes as the same message.
TEST_F(EndToEnd, TheTrayMenuHidesAndShowsTheToolbarAndThePointerOverTheWindowNeverOpensIt) {
    // A window wide enough for the pointer to stand at x = 515 and 516 of its client area.
    PlantBytes(kPositionsKey, L"frmLaunch", REG_SZ, "L=1500;T=1500;W=9600;H=1200;S=0;" + std::string(1, '\0'));
    Quorset quorset;
    HWND launcher = quorset.StartShown();
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
    // The shell's notification of the same number opens it.
    MovePointer(ToolbarButtonAt(launcher, 4));  // the menu opens at the pointer: here, beside the toolbar
    ASSERT_TRUE(quorset.ChooseFromTrayMenu(launcher, {'H'}, [&] { return !Visible(launcher); }, L"e2e-tray-menu"));  // Hide Toolbar
    TrayCallback(launcher, WM_RBUTTONUP);
    Settle(launcher);
    EXPECT_EQ(quorset.OpenMenu(0), nullptr) << "the right button's release opens no menu";
    EXPECT_TRUE(quorset.ChooseFromTrayMenu(launcher, {'S'}, [&] { return Visible(launcher); }));  // Show Toolbar
}

TEST_F(EndToEnd, AtOneAndAHalfTimesTheDotsPerInchEverythingGrowsAlike) {
    DWORD dpi = 144;
    Plant(kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);  // for the programs started now, until TearDown
    Quorset quorset;
    HWND launcher = quorset.StartShown();
    RECT client{};
    ::GetClientRect(launcher, &client);
    EXPECT_EQ(client.right, 242) << "2415 twips at 10 twips a pixel";
    EXPECT_EQ(client.bottom, 62);
    HWND toolbar = ::FindWindowExW(launcher, nullptr, TOOLBARCLASSNAMEW, nullptr);
    EXPECT_EQ(LOWORD(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0)), 32) << "24-pixel pictures";
    SaveScreenshot(launcher, L"e2e-launcher-144dpi");

    HWND dialog = quorset.OpenFromSystemMenu(launcher, kConfigure);
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 593) << "5925 twips";
    SaveScreenshot(dialog, L"e2e-configure-144dpi");
}

}  // namespace
