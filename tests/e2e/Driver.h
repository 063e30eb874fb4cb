// Drives a real Quorset.exe from outside, as a user would: starts it from a program
// folder of its own, finds its windows, clicks, types and moves the pointer through the
// system's input queue, sends what the shell sends, reads message boxes and closes them,
// and looks at how the process ended. Every step that cannot be taken fails the test with
// its reason.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "Screenshot.h"
#include "Support.h"
#include "Wait.h"
#include "base/App.h"

namespace qs::test {

// The system's error text for a failed step.
inline std::string SystemError(DWORD code = ::GetLastError()) {
    char text[512] = "";
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                     nullptr);
    return "system error " + std::to_string(code) + ": " + text;
}

// ---------------------------------------------------------------- input, as a user gives it

inline void SendInputs(std::vector<INPUT> inputs) {
    UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) ADD_FAILURE() << "SendInput: " << SystemError();
}

// Moves the pointer to a point of the screen.
inline void MovePointer(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + ::GetSystemMetrics(SM_CXSCREEN) / 2) /
                                    (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + ::GetSystemMetrics(SM_CYSCREEN) / 2) /
                                    (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInputs({input});
}

// A left click at a point of the screen.
inline void ClickAt(POINT screen) {
    MovePointer(screen);
    INPUT down{}, up{};
    down.type = up.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInputs({down, up});
}

// A left click in the middle of a window (or of its client area).
inline void Click(HWND window) {
    RECT r{};
    if (!::GetWindowRect(window, &r)) ADD_FAILURE() << "no window to click: " << SystemError();
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Presses the keys in order and releases them in reverse: {VK_MENU, 'R'} is Alt+R.
inline void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInputs(inputs);
}

// The window that has the keyboard focus in the foreground program.
inline HWND FocusedWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
}

// A plain window of the test itself, shown: "another program" to switch to.
class OtherProgram {
public:
    OtherProgram() {
        // A window of its own class: a static control lets clicks through to what lies below.
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = L"QuorsetTestOtherProgram";
            return ::RegisterClassW(&wc);
        }();
        window_ = ::CreateWindowExW(0, MAKEINTATOM(windowClass), L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 700, 300,
                                    200, nullptr, nullptr, nullptr, nullptr);
        if (!window_) ADD_FAILURE() << "CreateWindowEx: " << SystemError();
    }
    ~OtherProgram() { ::DestroyWindow(window_); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    HWND hwnd() const { return window_; }
    // The user clicks it; true once it is the foreground window.
    bool ClickToFront() const {
        Click(window_);
        return WaitFor([&] { return ::GetForegroundWindow() == window_; }, 5000);
    }

private:
    HWND window_ = nullptr;
};

// ---------------------------------------------------------------- the program

class Quorset {
public:
    // Lays out a program folder with the executable and the named components.
    explicit Quorset(std::vector<std::wstring> components = {L"Vuld1033.dll", L"Vuld1031.dll"}) {
        std::filesystem::path from = App::Path();
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
    Quorset(const Quorset&) = delete;
    Quorset& operator=(const Quorset&) = delete;

    std::filesystem::path Exe() const { return folder.Path() / L"Quorset.exe"; }

    // Starts the program with `arguments` and waits until it waits for input. It runs in
    // the driver's locale (Wine takes it from LC_ALL); its error output goes to a file of
    // its own, read by EndedCleanly.
    HANDLE Start(const std::wstring& arguments = L"") {
        std::wstring command = L"\"" + Exe().wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        std::wstring errors = folder.File(L"stderr-" + std::to_wstring(processes.size()) + L".txt");
        HANDLE errorFile = ::CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (errorFile == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "cannot create the error output file: " << SystemError();
            return nullptr;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = errorFile;
        PROCESS_INFORMATION process{};
        BOOL ok = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   folder.Path().c_str(), &startup, &process);
        DWORD error = ::GetLastError();
        ::CloseHandle(errorFile);
        if (!ok) {
            ADD_FAILURE() << "cannot start " << Exe().string() << ": " << SystemError(error);
            return nullptr;
        }
        processes.push_back(process);
        errorFiles.push_back(errors);
        ::WaitForInputIdle(process.hProcess, 10000);
        return process.hProcess;
    }

    // A top-level window of the given class that belongs to the last started process.
    HWND Window(const wchar_t* windowClass, int milliseconds = 10000) const {
        if (processes.empty()) {
            ADD_FAILURE() << "no program was started";
            return nullptr;
        }
        HWND found = nullptr;
        WaitFor([&] { return (found = Find(windowClass, processes.back().dwProcessId)) != nullptr; }, milliseconds);
        return found;
    }
    HWND Launcher() const { return Window(L"QuorsetForm"); }
    HWND MessageBoxWindow(int milliseconds = 10000) const { return Window(L"#32770", milliseconds); }

    // Whether the last started process ended within the time.
    bool Exited(int milliseconds = 8000) const {
        if (processes.empty()) return false;
        return ::WaitForSingleObject(processes.back().hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    }

    // The last started process ended, with exit code 0 and nothing on its error output.
    ::testing::AssertionResult EndedCleanly(int milliseconds = 8000) const {
        if (!Exited(milliseconds)) return ::testing::AssertionFailure() << "the program is still running";
        DWORD code = 1;
        ::GetExitCodeProcess(processes.back().hProcess, &code);
        if (code != 0) return ::testing::AssertionFailure() << "exit code " << code << " (0x" << std::hex << code << ")";
        std::string errors = ReadBytes(errorFiles.back());
        if (!errors.empty()) return ::testing::AssertionFailure() << "error output: " << errors;
        return ::testing::AssertionSuccess();
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

    // The open pop-up menu of the program, or none.
    HWND OpenMenu(int milliseconds = 5000) const { return Window(L"#32768", milliseconds); }

    // Chooses an item of the open pop-up menu: `downs` presses of the down key, then Enter.
    bool ChooseFromMenu(int downs, const wchar_t* screenshot = nullptr) const {
        HWND menu = OpenMenu();
        if (!menu) {
            ADD_FAILURE() << "no pop-up menu opened";
            return false;
        }
        Settle(menu);
        if (screenshot) SaveScreenshot(::GetDesktopWindow(), screenshot);
        for (int i = 0; i < downs; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return WaitFor([&] { return !::IsWindowVisible(menu); }, 5000);
    }

    // The text of an open message box, which is then closed with OK.
    static std::wstring ReadAndClose(HWND box) {
        std::wstring text;
        WaitFor([&] { return !(text = Text(box)).empty(); }, 3000);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (!WaitFor([&] { return !::IsWindow(box); }, 5000)) ADD_FAILURE() << "the message box stayed open";
        return text;
    }

    // A visible form of the program other than the launcher window: an open dialog.
    HWND Dialog(HWND launcher, int milliseconds = 10000) const {
        if (processes.empty()) {
            ADD_FAILURE() << "no program was started";
            return nullptr;
        }
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

    // The controls anywhere inside `window` of the given class: handle and text of each.
    static std::vector<std::pair<HWND, std::wstring>> Controls(HWND window, const wchar_t* windowClass) {
        struct Search {
            const wchar_t* windowClass;
            std::vector<std::pair<HWND, std::wstring>> found;
        } search{windowClass, {}};
        ::EnumChildWindows(
            window,
            [](HWND child, LPARAM l) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(l);
                wchar_t name[64] = L"", caption[2048] = L"";
                ::GetClassNameW(child, name, 64);
                ::GetWindowTextW(child, caption, 2048);
                if (::lstrcmpiW(name, s.windowClass) == 0) s.found.emplace_back(child, caption);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // A control inside `window` with the given class and text.
    static HWND Child(HWND window, const wchar_t* windowClass, const std::wstring& text) {
        for (auto& [child, caption] : Controls(window, windowClass))
            if (caption == text) return child;
        return nullptr;
    }

    // The texts of all labels inside `window`.
    static std::vector<std::wstring> Labels(HWND window) {
        std::vector<std::wstring> texts;
        for (auto& [child, caption] : Controls(window, L"Static"))
            if (!caption.empty()) texts.push_back(caption);
        return texts;
    }

    // The message of a message box: the longest of its labels.
    static std::wstring Text(HWND box) {
        std::wstring longest;
        for (auto& text : Labels(box))
            if (text.size() > longest.size()) longest = text;
        return longest;
    }

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
    std::vector<std::wstring> errorFiles;
};

}  // namespace qs::test
