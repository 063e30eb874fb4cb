// The configuration dialog and the About box of the running program, opened through the
// toolbar window's system menu and used with the mouse and the keyboard as a person uses
// them; afterwards the toolbar window must be in front and auto-hide must work.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>

#include "Screenshot.h"
#include "e2e/Driver.h"
#include "settings/RegistryHelpers.h"
#include "tray/CSysTrayIcon.h"

using namespace qs;
using namespace qs::test;

namespace {

class Dialogs : public WithoutProgramKeys {
protected:
    void SetUp() override {
        WithoutProgramKeys::SetUp();
        StoreSetting(L"AutoHide", "False");
        StoreSetting(L"AutoRun", "False");
    }
    static bool Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

    HWND StartShown() { return launcher = quorset.StartShown(); }
    HWND Open(WPARAM command) { return quorset.OpenFromSystemMenu(launcher, command); }
    // After a dialog has gone: the toolbar window is in front again.
    ::testing::AssertionResult LauncherInFront() {
        if (WaitFor([&] { return ::GetForegroundWindow() == launcher; }, 5000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << Screen();
    }
    // The user clicks another program's window (which stays open: closing it would send
    // the focus on to some window); whether the toolbar then hides. When it should not,
    // the answer waits only until the program has handled the click.
    bool HidesWhenAnotherProgramIsClicked(bool expected) {
        EXPECT_TRUE(other.ClickToFront());
        bool hidden = expected ? WaitFor([&] { return !::IsWindowVisible(launcher); }, 5000) : false;
        Settle(launcher);  // the program has handled the click in full
        return hidden || !::IsWindowVisible(launcher);
    }
    OtherProgram other;
    Quorset quorset;
    HWND launcher = nullptr;
};

const std::wstring kAutorun = L"&Run this program when Windows starts";
const std::wstring kAutoHide = L"Automatically &hide the toolbar when it loses focus";

TEST_F(Dialogs, ConfigureAppliesOnApplyAndOkAndForgetsWhatWasClosed) {
    StartShown();
    HWND dialog = Open(kConfigure);
    HWND autorun = Child(dialog, L"Button", kAutorun), autoHide = Child(dialog, L"Button", kAutoHide);
    ASSERT_TRUE(autorun && autoHide);
    EXPECT_FALSE(Checked(autorun));
    EXPECT_FALSE(Checked(autoHide));

    // Apply writes the Run entry at once; unticking and closing keeps it.
    Click(autorun);
    Click(Child(dialog, L"Button", L"&Apply"));
    std::string command = (quorset.folder.Path() / L"Quorset").string() + " /S";
    EXPECT_TRUE(WaitFor([&] { return ReadBack(kRunKey, L"Quorset").bytes == command + '\0'; }));
    Click(autorun);
    Click(Child(dialog, L"Button", L"&Close"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(ReadBack(kRunKey, L"Quorset").exists);

    // The close box applies nothing.
    dialog = Open(kConfigure);
    EXPECT_TRUE(Checked(Child(dialog, L"Button", kAutorun)));
    Click(Child(dialog, L"Button", kAutoHide));
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(LauncherInFront());
    EXPECT_FALSE(HidesWhenAnotherProgramIsClicked(false)) << "AutoHide is still off";

    // OK without a change applies both again: the removed Run entry comes back.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey.c_str(), L"Quorset");
    dialog = Open(kConfigure);  // the toolbar window is not in front now
    PressKeys({VK_RETURN});  // Enter presses OK
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(ReadBack(kRunKey, L"Quorset").bytes, command + '\0');
    EXPECT_TRUE(LauncherInFront());

    // AutoHide turned on in the dialog works from the next deactivation on, and is
    // stored at Exit.
    dialog = Open(kConfigure);
    Click(Child(dialog, L"Button", kAutoHide));
    Click(Child(dialog, L"Button", L"&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(LauncherInFront());
    EXPECT_TRUE(HidesWhenAnotherProgramIsClicked(true)) << "AutoHide applied through the dialog";

    // Ended as the task manager ends it (which saves as Exit does). The tray menu right
    // after a click in another process's window is not used here: under Wine without a
    // window manager that process's late focus events can close the menu at once.
    quorset.EndAsTheTaskManagerDoes();
    ASSERT_TRUE(quorset.EndedCleanly());
    EXPECT_EQ(Setting(L"AutoHide"), "True");
    EXPECT_EQ(Setting(L"AutoRun"), "True");
}

// Every way of closing each dialog hands the focus back to the toolbar window, which
// then hides at the next click elsewhere (AutoHide on), as it does without a dialog.
TEST_F(Dialogs, EveryWayOfClosingADialogGivesTheToolbarWindowTheFocusBack) {
    StoreSetting(L"AutoHide", "True");
    struct Way {
        WPARAM dialog;
        const char* name;
        std::function<void(HWND)> close;
    };
    auto button = [](const wchar_t* caption) {
        return [caption](HWND dialog) { Click(Child(dialog, L"Button", caption)); };
    };
    auto keys = [](WORD key) { return [key](HWND) { PressKeys({key}); }; };
    auto closeBox = [](HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const Way ways[] = {
        {kConfigure, "Configure: OK", button(L"&OK")},         {kConfigure, "Configure: Close", button(L"&Close")},
        {kConfigure, "Configure: close box", closeBox},         {kConfigure, "Configure: Enter", keys(VK_RETURN)},
        {kConfigure, "Configure: Escape", keys(VK_ESCAPE)},     {kAbout, "About: OK", button(L"&OK")},
        {kAbout, "About: Enter", keys(VK_RETURN)},              {kAbout, "About: close box", closeBox},
    };
    // Each way in a fresh start, ended as the task manager ends it.
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        StartShown();
        HWND dialog = Open(way.dialog);
        way.close(dialog);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
        EXPECT_TRUE(LauncherInFront());
        EXPECT_TRUE(HidesWhenAnotherProgramIsClicked(true));
        quorset.EndAsTheTaskManagerDoes();
        ASSERT_TRUE(quorset.EndedCleanly());
    }
}

TEST_F(Dialogs, TheKeyboardFollowsTheTabOrderAndTheAccessKeys) {
    StartShown();
    HWND dialog = Open(kConfigure);
    HWND tabs = ::FindWindowExW(dialog, nullptr, L"SysTabControl32", nullptr);
    HWND autorun = Child(dialog, L"Button", kAutorun), autoHide = Child(dialog, L"Button", kAutoHide);
    HWND ok = Child(dialog, L"Button", L"&OK"), apply = Child(dialog, L"Button", L"&Apply"),
         close = Child(dialog, L"Button", L"&Close");
    ASSERT_TRUE(tabs && autorun && autoHide && ok && apply && close);

    const HWND order[] = {tabs, autorun, autoHide, ok, apply, close, tabs};
    EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == tabs; })) << "the tab strip comes first";
    for (size_t i = 1; i < std::size(order); ++i) {
        PressKeys({VK_TAB});
        EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == order[i]; }, 3000)) << "Tab number " << i;
    }
    for (size_t i = std::size(order) - 1; i-- > 0;) {
        PressKeys({VK_SHIFT, VK_TAB});
        EXPECT_TRUE(WaitFor([&] { return FocusedWindow() == order[i]; }, 3000)) << "Shift+Tab to position " << i;
    }

    PressKeys({VK_MENU, 'R'});
    EXPECT_TRUE(WaitFor([&] { return Checked(autorun); }, 3000)) << "Alt+R ticks the Run box";
    PressKeys({VK_MENU, 'H'});
    EXPECT_TRUE(WaitFor([&] { return Checked(autoHide); }, 3000)) << "Alt+H ticks the hide box";
    PressKeys({VK_MENU, 'A'});  // Apply
    EXPECT_TRUE(WaitFor([&] { return ReadBack(kRunKey, L"Quorset").exists; }, 3000)) << "Alt+A applies";
    PressKeys({VK_MENU, 'R'});
    PressKeys({VK_MENU, 'A'});
    EXPECT_TRUE(WaitFor([&] { return !ReadBack(kRunKey, L"Quorset").exists; }, 3000)) << "unticked and applied: gone";
    PressKeys({VK_MENU, 'C'});  // Close
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 3000)) << "Alt+C closes";
    EXPECT_TRUE(LauncherInFront());

    dialog = Open(kConfigure);
    PressKeys({VK_MENU, 'O'});
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 3000)) << "Alt+O presses OK";

    // The About box opens with the focus on its hidden button: no visible control shows a
    // focus mark, and Space closes it.
    HWND about = Open(kAbout);
    HWND focus = FocusedWindow();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(::GetParent(focus), about);
    RECT client{}, button{};
    ::GetClientRect(about, &client);
    ::GetWindowRect(focus, &button);
    ::MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_GE(button.left, client.right) << "the focused button lies outside the box's client area";
    PressKeys({VK_SPACE});
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }, 3000));
    EXPECT_TRUE(LauncherInFront());
}

TEST_F(Dialogs, TheAboutBoxShowsTheProgramAndHoldsAutoHideBack) {
    StoreSetting(L"AutoHide", "True");
    StartShown();
    HWND about = Open(kAbout);
    auto labels = Labels(about);
    auto has = [&](const std::wstring& text) { return std::find(labels.begin(), labels.end(), text) != labels.end(); };
    EXPECT_TRUE(has(L"Quorset"));
    EXPECT_TRUE(has(L"Version 1.0.0"));
    EXPECT_TRUE(has(L"Copyright (C) 2026 Brom")) << "the version information's copyright";
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](auto& t) { return t.rfind(L"Warning:", 0) == 0; }));
    EXPECT_FALSE(has(L"Release"));
    EXPECT_FALSE(HidesWhenAnotherProgramIsClicked(false)) << "nothing hides while a dialog is open";
}

// In a high-contrast scheme nothing in a window keeps a colour of its own but the
// pictures: the toolbar's (high contrast itself, which switches them, is checked in the
// toolkit's test) and the About box's banner.
TEST_F(Dialogs, InAHighContrastSchemeTheWindowsDrawInItsColours) {
    GreyScheme scheme;
    StartShown();
    SaveScreenshot(launcher, L"e2e-launcher-grey-scheme");
    HWND dialog = Open(kConfigure);
    SaveScreenshot(dialog, L"e2e-configure-grey-scheme");
    Shot shot = TakeShot(dialog, true);
    size_t coloured = 0;
    for (size_t i = 0; i + 2 < shot.pixels.size(); i += 3)  // a row's padding is grey too
        coloured += shot.pixels[i] != shot.pixels[i + 1] || shot.pixels[i + 1] != shot.pixels[i + 2];
    EXPECT_EQ(coloured, 0u) << "pixels of a colour not the scheme's";
    PressKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    HWND about = Open(kAbout);
    SaveScreenshot(about, L"e2e-about-grey-scheme");
    for (HWND label : WindowsWhere(about, [](HWND w) { return ClassOf(w) == L"Static" && !TextOf(w).empty(); })) {
        auto [info, pixels] = TakeShot(label);
        bool seen = false;  // a pixel unlike the first, the background's
        for (size_t i = 3; i + 2 < pixels.size() && !seen; i += 3) seen = !std::equal(&pixels[i], &pixels[i + 3], &pixels[0]);
        std::wstring text = TextOf(label);
        EXPECT_TRUE(seen) << "the label shows its text: " << std::string(text.begin(), text.end());
    }
}

// A user of each shipped language, or of a regional variant, in their locale (one ctest
// entry each): the configuration dialog, the About box and the tray menu speak their
// language (the menu's items cannot be read from outside: its screenshot shows them),
// and the dialog's buttons work by their access keys.
TEST_F(Dialogs, EveryLanguagesUserSeesTheirOwnTexts) {
    struct Row {
        LCID locale;
        const wchar_t *name, *title, *family;
        WORD close;  // the Close button's access key
    };
    Row row{};
    for (const Row& r : {
             Row{1033, L"en", L"Configure Quorset", L"Part of the Vuld product family.", 'C'},
             Row{1031, L"de", L"Quorset konfigurieren", L"Teil der Produktfamilie Vuld.", 'S'},
             Row{3079, L"de-at", L"Quorset konfigurieren", L"Teil der Produktfamilie Vuld.", 'S'},
             Row{1036, L"fr", L"Configurer Quorset", L"Fait partie de la gamme de produits Vuld.", 'F'},
             Row{3082, L"es", L"Configurar Quorset", L"Forma parte de la familia de productos Vuld.", 'C'},
             Row{1040, L"it", L"Configura Quorset", L"Parte della famiglia di prodotti Vuld.", 'C'},
             Row{1046, L"pt-br", L"Configurar o Quorset", L"Parte da fam\u00EDlia de produtos Vuld.", 'F'},
             Row{1041, L"ja", L"Quorset \u306E\u8A2D\u5B9A", L"Vuld \u88FD\u54C1\u30D5\u30A1\u30DF\u30EA\u30FC\u306E\u4E00\u54E1\u3067\u3059\u3002", 'C'},
             Row{2052, L"zh-cn", L"\u914D\u7F6E Quorset", L"Vuld \u4EA7\u54C1\u7CFB\u5217\u6210\u5458\u3002", 'C'}})
        if (r.locale == ::GetUserDefaultLCID()) row = r;
    if (!row.name) GTEST_SKIP() << "runs in the locale of a row";
    StartShown();
    HWND dialog = Open(kConfigure);
    SaveScreenshot(dialog, L"e2e-configure-" + std::wstring(row.name));
    EXPECT_EQ(TextOf(dialog), row.title);
    PressKeys({VK_MENU, row.close});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(LauncherInFront());

    HWND about = Open(kAbout);
    SaveScreenshot(about, L"e2e-about-" + std::wstring(row.name));
    auto labels = Labels(about);
    EXPECT_NE(std::find(labels.begin(), labels.end(), row.family), labels.end());
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
    EXPECT_TRUE(quorset.ChooseFromTrayMenu(launcher, {VK_ESCAPE}, [] { return true; }, (L"e2e-tray-menu-" + std::wstring(row.name)).c_str()));
}

// Under the double-byte code pages of Japanese and Chinese (one ctest entry each): the
// tray tip is cut before a character that would not fit whole, and a program folder
// named in two-byte characters (in Japanese with trail bytes that read as a backslash)
// is written in the code page and read back as the same characters: in the "Run" entry,
// the report's path and its App Path line.
TEST_F(Dialogs, DoubleByteCodePagesKeepEveryCharacterWhole) {
    struct Row {
        UINT codePage;
        const wchar_t* name;
        const char* bytes;  // the name in the code page; its last character is two bytes
    };
    Row row{};
    for (const Row& r : {Row{932, L"\u30BD\u30D5\u30C8\u8868", "\x83\x5C\x83\x74\x83\x67\x95\x5C"},
                         Row{936, L"\u8F6F\u4EF6\u8868", "\xC8\xED\xBC\xFE\xB1\xED"}})
        if (r.codePage == ::GetACP()) row = r;
    if (!row.name) GTEST_SKIP() << "runs under a double-byte code page";
    const std::string bytes = row.bytes, last = bytes.substr(bytes.size() - 2);
    const std::wstring lastCharacter(1, std::wstring(row.name).back());

    char field[64];
    CSysTrayIcon::FitTip(field, std::wstring(61, L'a') + lastCharacter);
    EXPECT_EQ(std::string(field, 64), std::string(61, 'a') + last + '\0') << "63 bytes: whole";
    CSysTrayIcon::FitTip(field, std::wstring(62, L'a') + lastCharacter);
    EXPECT_EQ(std::string(field, 64), std::string(62, 'a') + '\0' + ' ') << "64 bytes: the character left out";

    // The program and its components in the folder; the report's folder below it too.
    std::filesystem::path folder = quorset.folder.Path() / row.name;
    for (auto& made : {folder, folder / L"BROM", folder / L"BROM" / L"VULD"}) ::CreateDirectoryW(made.c_str(), nullptr);
    for (auto& entry : std::filesystem::directory_iterator(quorset.folder.Path()))
        if (entry.is_regular_file()) ::CopyFileW(entry.path().c_str(), (folder / entry.path().filename()).c_str(), TRUE);
    launcher = quorset.StartShown((folder / L"Quorset.exe").wstring());
    HWND dialog = Open(kConfigure);
    PressKeys({VK_MENU, 'R'});  // "Run this program when Windows starts", then OK
    PressKeys({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    const std::string ascii = Ansi(quorset.folder.Path().wstring());  // the scratch folder's path is ASCII
    EXPECT_EQ(ReadBack(kRunKey, L"Quorset").bytes, ascii + "\\" + bytes + "\\Quorset /S" + '\0');
    quorset.EndAsTheTaskManagerDoes();
    ASSERT_TRUE(quorset.EndedCleanly());

    // Without its components the program reports its start's failure, into the
    // application-data folder, here the double-byte one.
    const std::wstring shellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    Stored before = ReadBack(shellFolders, L"AppData");
    PlantBytes(shellFolders, L"AppData", REG_EXPAND_SZ, ascii + "\\" + bytes + '\0');
    for (auto& component : EveryComponent()) ::DeleteFileW((folder / component).c_str());
    quorset.Start(L"", true, (folder / L"Quorset.exe").wstring());
    HWND box = quorset.MessageBoxWindow();
    if (before.exists) PlantBytes(shellFolders, L"AppData", before.type, before.bytes);
    else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, shellFolders.c_str(), L"AppData");
    ASSERT_NE(box, nullptr);
    std::string report = ReadBytes((folder / L"BROM" / L"VULD" / L"errorlog.txt").wstring());
    EXPECT_NE(report.find("\r\nApp Path: " + ascii + "\\" + bytes + "\r\n"), std::string::npos) << report;
}

}  // namespace
