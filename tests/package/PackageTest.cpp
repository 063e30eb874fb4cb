// The downloads as a user meets them, in a Wine prefix of their own that starts fresh:
// the installer silently, an upgrade over the running program, the uninstaller, and the
// portable zip unpacked to a folder whose path has blanks. QUORSET_DIST names the folder
// scripts/package wrote; QUORSET_PORTABLE the unpacked zip's folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbghelp.h>
#include <shlobj.h>

#include <filesystem>
#include <set>
#include <string>

#include "e2e/Driver.h"
#include "settings/RegistryHelpers.h"

using namespace qs;
using namespace qs::test;
namespace fs = std::filesystem;

namespace {

const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorset";

// A folder named by an environment variable that holds a Linux path.
fs::path FolderFrom(const wchar_t* variable) {
    wchar_t value[1024] = L"";
    if (!::GetEnvironmentVariableW(variable, value, 1024)) return {};
    std::wstring path = value;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return fs::path(path[0] == L'\\' ? L"Z:" + path : path);
}

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    ::SHGetKnownFolderPath(id, 0, nullptr, &path);
    fs::path result = path ? path : L"";
    ::CoTaskMemFree(path);
    return result;
}

fs::path Installer() {
    std::error_code noFolder;
    for (auto& entry : fs::directory_iterator(FolderFrom(L"QUORSET_DIST"), noFolder))
        if (entry.path().wstring().ends_with(L"-x64-setup.exe")) return entry.path();
    return {};
}

// Starts a program in its own folder, as a double click on it does (in the system folder
// when told); the process, or none.
HANDLE Start(const fs::path& program, const std::wstring& arguments = L"", bool inItsFolder = true) {
    PROCESS_INFORMATION process =
        StartProgram(program.wstring(), arguments, inItsFolder ? program.parent_path().wstring() : L"");
    if (process.hThread) ::CloseHandle(process.hThread);
    return process.hProcess;
}

// Runs a program and waits for it; its exit code.
DWORD RunAndWait(const fs::path& program, const std::wstring& arguments) {
    HANDLE process = Start(program, arguments, false);
    DWORD code = ~0u;
    EXPECT_EQ(::WaitForSingleObject(process, 60000), WAIT_OBJECT_0) << program.string();
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    return code;
}

// A running Quorset's toolbar window or its hidden application window, whoever started
// it, except the one of the process `other`.
HWND RunningWindow(const wchar_t* windowClass, DWORD other = 0, int milliseconds = 15000) {
    return WindowWhere([&](HWND w) {
        return ClassOf(w) == windowClass && ProcessOf(w) != other &&
               (windowClass != std::wstring(L"QuorsetForm") || TextOf(w) == L"Quorset");
    }, milliseconds);
}
HWND RunningLauncher(DWORD other = 0) { return RunningWindow(L"QuorsetForm", other); }

fs::path InstallFolder() { return KnownFolder(FOLDERID_LocalAppData) / L"Programs" / L"Quorset"; }

class Package : public ::testing::Test {
protected:
    void SetUp() override {
        if (Installer().empty()) GTEST_SKIP() << "no installer: run scripts/package first";
        // A new prefix reports Windows 7 to the installer, which refuses anything older than 10
        // version 1607 at its start: it is shown Windows 10 (version 1903).
        PlantBytes(L"Software\\Wine\\AppDefaults\\" + Installer().filename().wstring(), L"Version", REG_SZ,
                   std::string("win10", 6));
    }
};

TEST_F(Package, ASilentInstallPutsEverythingInPlaceAndTheProgramStarts) {
    ClearProgramKeys();
    ASSERT_EQ(RunAndWait(Installer(), L"/S"), 0u);
    fs::path folder = InstallFolder();
    std::vector<std::wstring> files = EveryComponent();  // each resource component built
    files.insert(files.end(), {L"Quorset.exe", L"uninstall.exe"});
    for (const auto& file : files) EXPECT_TRUE(fs::exists(folder / file)) << fs::path(file).string();
    EXPECT_TRUE(fs::exists(KnownFolder(FOLDERID_Programs) / L"Quorset.lnk")) << "Start-menu entry";
    EXPECT_TRUE(fs::is_directory(KnownFolder(FOLDERID_RoamingAppData) / L"BROM" / L"VULD")) << "error-report folder";
    EXPECT_EQ(ReadBack(kUninstallKey, L"DisplayName").bytes.c_str(), std::string("Quorset"));
    EXPECT_EQ(ReadBack(kUninstallKey, L"Publisher").bytes.c_str(), std::string("Brom"));
    EXPECT_EQ(ReadBack(kUninstallKey, L"UninstallString").bytes.c_str(),
              "\"" + (folder / L"uninstall.exe").string() + "\"");
    EXPECT_TRUE(ReadBack(kUninstallKey, L"QuietUninstallString").exists);
    EXPECT_TRUE(ReadBack(kUninstallKey, L"EstimatedSize").exists);
    EXPECT_FALSE(::FindWindowW(L"QuorsetForm", nullptr)) << "a silent install starts nothing that was not running";
    // What the installer wrote, for the test command's checks of the package manifests
    // (tests/package/manifests.py) and of the uninstaller's signature.
    if (fs::path saved = FolderFrom(L"QUORSET_INSTALLED"); !saved.empty()) {
        fs::create_directories(saved);
        fs::copy_file(folder / L"uninstall.exe", saved / L"uninstall.exe", fs::copy_options::overwrite_existing);
        std::string entry = "ProductCode=" + fs::path(kUninstallKey).filename().string() + "\n";
        for (const wchar_t* value : {L"DisplayName", L"Publisher", L"DisplayVersion"})
            entry += fs::path(value).string() + "=" + ReadBack(kUninstallKey, value).bytes.c_str() + "\n";
        WriteBytes((saved / L"entry.txt").wstring(), entry);
    }

    // The user starts the installed program.
    HANDLE process = Start(folder / L"Quorset.exe");
    ASSERT_NE(process, nullptr);
    ::CloseHandle(process);
    HWND launcher = RunningLauncher();
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(launcher) != FALSE; }));
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(launcher); }));
}

TEST_F(Package, AnUpgradeOverTheRunningProgramKeepsItsPlaceAndSettingsAndLeavesOtherCopies) {
    HWND launcher = RunningLauncher();
    ASSERT_NE(launcher, nullptr) << "the program the first test started";
    StoreSetting(L"AutoHide", "False");  // as an earlier Apply left it
    ::SetWindowPos(launcher, nullptr, 123, 97, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(launcher);
    RECT before{};
    ::GetWindowRect(launcher, &before);
    HANDLE old = ::OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(launcher));
    // A portable copy started from its own folder runs at the same time, in the tray.
    HANDLE portable = Start(FolderFrom(L"QUORSET_PORTABLE") / L"Quorset.exe", L"/S");
    ASSERT_NE(portable, nullptr);
    ASSERT_NE(RunningWindow(L"QuorsetApplication", ProcessOf(launcher)), nullptr);

    ASSERT_EQ(RunAndWait(Installer(), L"/S"), 0u) << "no file in use";
    EXPECT_EQ(::WaitForSingleObject(old, 0), WAIT_OBJECT_0) << "the old copy's process ended before the files went";
    EXPECT_EQ(::WaitForSingleObject(portable, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the portable copy runs on";
    HWND again = RunningLauncher(::GetProcessId(portable));
    ASSERT_NE(again, nullptr) << "and the new one runs";
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(again) != FALSE; })) << "with its window, as before";
    RECT after{};
    ::GetWindowRect(again, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(Setting(L"AutoHide"), "False");
    outside::EndAsTheTaskManagerDoes(::GetProcessId(portable));
    EXPECT_EQ(::WaitForSingleObject(portable, 10000), WAIT_OBJECT_0);
    ::CloseHandle(portable);
    ::CloseHandle(old);
}

// Run by hand over the running program, the installer starts it again itself, so its
// finish page offers no start, which would only start a second copy.
TEST_F(Package, AnUpgradeByHandOffersNoSecondStart) {
    HWND launcher = RunningLauncher();
    ASSERT_NE(launcher, nullptr) << "the program the upgrade started";
    HANDLE setup = Start(Installer(), L"", false);
    auto button = [&](const wchar_t* text) {  // of the installer's wizard, once enabled
        HWND found = nullptr;
        WaitFor([&] {
            HWND wizard = WindowOf(::GetProcessId(setup), L"#32770");
            return wizard && (found = Child(wizard, L"Button", text)) && ::IsWindowEnabled(found);
        }, 30000);
        return found;
    };
    HWND install = button(L"&Install");
    ASSERT_NE(install, nullptr);
    Click(install);
    HWND finish = button(L"&Finish"), start = button(L"Start Quorset");
    ASSERT_TRUE(finish && start);
    EXPECT_FALSE(::IsWindowVisible(start)) << "offered to start a second copy";
    Click(finish);
    DWORD code = ~0u;
    ASSERT_EQ(::WaitForSingleObject(setup, 30000), WAIT_OBJECT_0);
    ::GetExitCodeProcess(setup, &code);
    ::CloseHandle(setup);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(RunningWindow(L"QuorsetApplication", ProcessOf(launcher)), nullptr) << "the program runs again";
}

TEST_F(Package, ASilentUninstallRemovesAllButTheSettings) {
    ASSERT_NE(RunningLauncher(), nullptr) << "the program runs while it is removed";
    fs::path folder = InstallFolder();
    // The uninstaller hands over to a copy of itself and returns at once.
    RunAndWait(folder / L"uninstall.exe", L"/S");
    // The copy ends in its own time: its last step is awaited.
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(folder) && !ReadBack(kUninstallKey, L"DisplayName").exists; }, 30000))
        << "the program folder and its entry are gone";
    EXPECT_EQ(::FindWindowW(L"QuorsetForm", nullptr), nullptr) << "the running copy was ended";
    EXPECT_FALSE(fs::exists(KnownFolder(FOLDERID_Programs) / L"Quorset.lnk"));
    EXPECT_FALSE(ReadBack(kRunKey, L"Quorset").exists);
    EXPECT_FALSE(ReadBack(kUninstallKey, L"DisplayName").exists);
    EXPECT_TRUE(ReadBack(kSettingsKey, L"AutoHide").exists) << "a silent uninstall keeps the settings";
    ClearProgramKeys();
}

// The libraries a binary's import table names, in lower case.
std::vector<std::string> ImportsOf(const fs::path& binary) {
    std::vector<std::string> names;
    HMODULE image = ::LoadLibraryExW(binary.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return ADD_FAILURE() << binary.string() << ": " << SystemError(), names;
    // The handle of a library mapped as an image resource carries a mark in its low bits.
    auto base = reinterpret_cast<BYTE*>(reinterpret_cast<uintptr_t>(image) & ~uintptr_t{3});
    ULONG size = 0;
    for (auto entry = static_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             ::ImageDirectoryEntryToData(base, TRUE, IMAGE_DIRECTORY_ENTRY_IMPORT, &size));
         entry && entry->Name; ++entry)
        ::CharLowerA(names.emplace_back(reinterpret_cast<const char*>(base + entry->Name)).data());
    ::FreeLibrary(image);
    return names;
}

// The loader resolves a program's imports before the program runs, from the program's
// folder first, except Windows' known libraries, which it maps from its own copies, and
// the common controls, which the executable's manifest takes from the side-by-side store.
// Wine cannot show it by loading: told to prefer a copy beside the program
// (WINEDLLOVERRIDES=version=n,b), it loads one into any program, as its own user32
// imports the version library. So the tables themselves are looked at.
TEST(Portable, ItsBinariesImportOnlyWhatWindowsNeverTakesFromTheirFolder) {
    fs::path folder = FolderFrom(L"QUORSET_PORTABLE");
    if (folder.empty()) GTEST_SKIP() << "no unpacked zip";
    const std::set<std::string> known = {"advapi32.dll", "gdi32.dll",    "kernel32.dll", "msvcrt.dll",
                                         "ole32.dll",    "oleaut32.dll", "shell32.dll",  "user32.dll"};
    for (const auto& component : EveryComponent()) EXPECT_TRUE(fs::exists(folder / component)) << "in the zip";
    for (auto& file : fs::directory_iterator(folder))
        for (auto& name : ImportsOf(file.path()))
            EXPECT_TRUE(known.count(name) || (name == "comctl32.dll" && file.path().extension() == L".exe"))
                << file.path().filename().string() << " imports " << name;
}

// Run by its own ctest entry in a German locale.
TEST(Portable, UnpackedAnywhereItRunsInTheUsersLanguageWithNothingRegistered) {
    fs::path folder = FolderFrom(L"QUORSET_PORTABLE");
    if (folder.empty()) GTEST_SKIP() << "no unpacked zip";
    ASSERT_NE(folder.wstring().find(L' '), std::wstring::npos) << "the folder's path has blanks";
    ASSERT_EQ(::GetUserDefaultLCID(), 1031u);
    HANDLE process = Start(folder / L"Quorset.exe");
    ASSERT_NE(process, nullptr);
    HWND launcher = RunningLauncher();
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(launcher); }));
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == launcher; }));
    Settle(launcher);
    PressToolbarButton(launcher, 1);  // the main application is not in the folder
    HWND box = WindowWhere([](HWND w) { return ClassOf(w) == L"#32770"; });
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadAndClose(box).rfind(L"Das Programm konnte nicht gestartet werden.", 0), 0u);
    EXPECT_FALSE(ReadBack(L"Software\\Classes\\Vuld1031.Resources", L"").exists) << "nothing registered";
    outside::EndAsTheTaskManagerDoes(::GetProcessId(process));
    EXPECT_EQ(::WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    ::CloseHandle(process);
    ClearProgramKeys();
}

}  // namespace
