// Drives a real Quorset.exe from outside, as a user would: starts it from a program
// folder of its own, finds its windows, sends what the shell and the user send, reads
// message boxes and closes them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Screenshot.h"
#include "Support.h"
#include "toolkit/App.h"

namespace qs::test {

inline bool WaitFor(auto condition, int milliseconds = 10000) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (condition()) return true;
        ::Sleep(50);
    }
    return condition();
}

class Quorset {
public:
    // Lays out a program folder with the executable and the named components.
    explicit Quorset(std::vector<std::wstring> components = {L"Vuld1033.dll", L"Vuld1031.dll"}) {
        std::filesystem::path from = toolkit::App::Path();
        std::filesystem::copy_file(from / L"Quorset.exe", folder.Path() / L"Quorset.exe");
        for (auto& c : components) std::filesystem::copy_file(from / c, folder.Path() / c);
    }
    ~Quorset() {
        for (auto& p : processes)
            if (::WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(p.hProcess, 1);
        for (auto& p : processes) {
            ::WaitForSingleObject(p.hProcess, 5000);
            ::CloseHandle(p.hProcess);
            ::CloseHandle(p.hThread);
        }
    }

    std::filesystem::path Exe() const { return folder.Path() / L"Quorset.exe"; }

    // Starts the program with `arguments`. It runs in the driver's locale: Wine takes
    // the user's locale from the Unix locale of the process tree (LC_ALL).
    HANDLE Start(const std::wstring& arguments = L"") {
        std::wstring command = L"\"" + Exe().wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        BOOL ok = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.Path().c_str(), &startup, &process);
        if (!ok) return nullptr;
        processes.push_back(process);
        ::WaitForInputIdle(process.hProcess, 10000);
        return process.hProcess;
    }

    // A top-level window of the given class that belongs to the last started process.
    HWND Window(const wchar_t* windowClass, int milliseconds = 10000) const {
        HWND found = nullptr;
        WaitFor([&] { return (found = Find(windowClass, processes.back().dwProcessId)) != nullptr; }, milliseconds);
        return found;
    }
    HWND Launcher() const { return Window(L"QuorsetForm"); }
    HWND MessageBoxWindow(int milliseconds = 10000) const { return Window(L"#32770", milliseconds); }

    bool Exited(int milliseconds = 8000) const {
        return ::WaitForSingleObject(processes.back().hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    }

    // Brings a window to the front, as a click on it does.
    static bool Activate(HWND window) {
        return WaitFor(
            [&] {
                if (::GetForegroundWindow() == window) return true;
                ::SetForegroundWindow(window);
                return false;
            },
            5000);
    }

    // What the shell sends when the user does `mouseMessage` over the tray icon.
    static void TrayCallback(HWND launcher, UINT mouseMessage) {
        ::PostMessageW(launcher, WM_MOUSEMOVE, 0, MAKELPARAM(mouseMessage, 0));
    }

    // Whether the shell holds an icon of the window (a modify without changes succeeds
    // only for an icon that is there).
    static bool TrayIconPresent(HWND launcher) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = launcher;
        data.uID = 0;
        return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }

    // Chooses an item of the open pop-up menu: `downs` presses of the down key, then Enter.
    bool ChooseFromMenu(int downs, const wchar_t* screenshot = nullptr) const {
        HWND menu = Window(L"#32768", 5000);
        if (!menu) return false;
        ::Sleep(300);
        if (screenshot) SaveScreenshotAround(menu, screenshot);
        for (int i = 0; i < downs; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return WaitFor([&] { return !::IsWindowVisible(menu); }, 5000);
    }

    // The text of an open message box, which is then closed with OK.
    static std::wstring ReadAndClose(HWND box) {
        std::wstring text;
        WaitFor([&] { return !(text = Text(box)).empty(); }, 3000);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !::IsWindow(box); }, 5000);
        return text;
    }

    // The whole screen, so that the window and what opens around it are both in.
    // A visible form of the program other than the launcher window: an open dialog.
    HWND Dialog(HWND launcher, int milliseconds = 10000) const {
        HWND found = nullptr;
        DWORD pid = processes.back().dwProcessId;
        WaitFor(
            [&] {
                for (HWND w = ::FindWindowExW(nullptr, nullptr, L"QuorsetForm", nullptr); w;
                     w = ::FindWindowExW(nullptr, w, L"QuorsetForm", nullptr)) {
                    DWORD owner = 0;
                    ::GetWindowThreadProcessId(w, &owner);
                    if (owner == pid && w != launcher && ::IsWindowVisible(w)) return (found = w) != nullptr;
                }
                return false;
            },
            milliseconds);
        return found;
    }

    // A control anywhere inside `window` with the given class and text.
    static HWND Child(HWND window, const wchar_t* windowClass, const std::wstring& text) {
        struct Search {
            const wchar_t* windowClass;
            const std::wstring& text;
            HWND found;
        } search{windowClass, text, nullptr};
        ::EnumChildWindows(
            window,
            [](HWND child, LPARAM l) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(l);
                wchar_t name[64] = L"", caption[512] = L"";
                ::GetClassNameW(child, name, 64);
                ::GetWindowTextW(child, caption, 512);
                if (::lstrcmpiW(name, s.windowClass) == 0 && s.text == caption) {
                    s.found = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // The texts of all labels inside `window`.
    static std::vector<std::wstring> Labels(HWND window) {
        std::vector<std::wstring> texts;
        ::EnumChildWindows(
            window,
            [](HWND child, LPARAM l) -> BOOL {
                wchar_t name[64] = L"", caption[1024] = L"";
                ::GetClassNameW(child, name, 64);
                ::GetWindowTextW(child, caption, 1024);
                if (::lstrcmpiW(name, L"Static") == 0 && caption[0])
                    reinterpret_cast<std::vector<std::wstring>*>(l)->push_back(caption);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        return texts;
    }

    // The message of a message box: the longest text of its static controls.
    static std::wstring Text(HWND box) {
        std::wstring longest;
        for (HWND child = ::FindWindowExW(box, nullptr, L"Static", nullptr); child;
             child = ::FindWindowExW(box, child, L"Static", nullptr)) {
            wchar_t text[2048] = L"";
            ::GetWindowTextW(child, text, 2048);
            if (std::wstring(text).size() > longest.size()) longest = text;
        }
        return longest;
    }

    static void SaveScreenshotAround(HWND, const wchar_t* name) { SaveScreenshot(::GetDesktopWindow(), name); }

    ScratchFolder folder;

private:
    static HWND Find(const wchar_t* windowClass, DWORD processId) {
        struct Search {
            const wchar_t* windowClass;
            DWORD processId;
            HWND found;
        } search{windowClass, processId, nullptr};
        ::EnumWindows(
            [](HWND hwnd, LPARAM l) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(l);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(hwnd, &pid);
                wchar_t name[64] = L"";
                ::GetClassNameW(hwnd, name, 64);
                if (pid == s.processId && ::lstrcmpW(name, s.windowClass) == 0 &&
                    (::lstrcmpW(name, L"#32768") != 0 || ::IsWindowVisible(hwnd))) {
                    s.found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::vector<PROCESS_INFORMATION> processes;
};

}  // namespace qs::test
