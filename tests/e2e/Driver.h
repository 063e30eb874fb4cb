// Drives a real Quorset.exe from outside, as a user would: starts it from a program
// folder of its own, finds its windows, clicks, types and moves the pointer through the
// system's input queue, sends what the shell sends, reads message boxes and closes them,
// and looks at how the process ended. Every step that cannot be taken fails the test with
// its reason.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Screenshot.h"
#include "Support.h"
#include "Wait.h"
#include "driver/Outside.h"
#include "base/App.h"
#include "launcher/frmLaunch.h"

namespace qs::test {

// The system's error text for a failed step.
inline std::string SystemError(DWORD code = ::GetLastError()) {
    char text[512] = "";
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                     nullptr);
    return "system error " + std::to_string(code) + ": " + text;
}

// Starts `program` in `folder` (the system folder when empty), its error output going to
// `errors`; the process, with null handles when it could not be started (then a failure).
inline PROCESS_INFORMATION StartProgram(const std::wstring& program, const std::wstring& arguments,
                                        const std::wstring& folder = L"", HANDLE errors = nullptr) {
    PROCESS_INFORMATION process{};
    DWORD error = 0;
    if (!outside::Start(program, arguments, folder, errors, process, error))
        ADD_FAILURE() << "cannot start the program: " << SystemError(error);
    return process;
}

// ---------------------------------------------------------------- windows and their texts

using namespace qs::outside;

// A control inside `window` with the given class and text.
inline HWND Child(HWND window, const wchar_t* windowClass, const std::wstring& text) {
    auto found = WindowsWhere(window, [&](HWND c) { return ClassOf(c) == windowClass && TextOf(c) == text; });
    return found.empty() ? nullptr : found[0];
}

// The texts of all labels inside `window`.
inline std::vector<std::wstring> Labels(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND label : WindowsWhere(window, [](HWND c) { return ClassOf(c) == L"Static" && !TextOf(c).empty(); }))
        texts.push_back(TextOf(label));
    return texts;
}

// The first top-level window for which `match` holds, once there; none when none came.
inline HWND WindowWhere(const std::function<bool(HWND)>& match, int milliseconds = 10000) {
    std::vector<HWND> found;
    WaitFor([&] { return !(found = WindowsWhere(nullptr, match)).empty(); }, milliseconds);
    return found.empty() ? nullptr : found[0];
}

// The text of an open message box (its longest label), which is then closed with OK.
inline std::wstring ReadAndClose(HWND box) {
    std::wstring text;
    WaitFor([&] {
        for (auto& label : Labels(box))
            if (label.size() > text.size()) text = label;
        return !text.empty();
    }, 3000);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (!WaitFor([&] { return !::IsWindow(box); }, 5000)) ADD_FAILURE() << "the message box stayed open";
    return text;
}

// What is on the screen, for a failure's message: the foreground window, then every
// visible top-level window, each with its class, text and process.
inline std::wstring Screen() {
    auto name = [](HWND w) {
        return ClassOf(w) + L" \"" + TextOf(w) + L"\" of process " + std::to_wstring(ProcessOf(w));
    };
    HWND front = ::GetForegroundWindow();
    std::wstring out = L"foreground: " + (front ? name(front) : L"none") + L"; visible:";
    for (HWND w : WindowsWhere(nullptr, [](HWND w) { return ::IsWindowVisible(w) != FALSE; })) out += L" [" + name(w) + L"]";
    return out;
}

// Ends the test at a step that cannot be taken, with what is on the screen: the framework
// reports the failure, and the exception that ends the test.
[[noreturn]] inline void StepFailed(const char* step) {
    ADD_FAILURE() << step << "; " << Screen();
    throw std::runtime_error(std::string("the test cannot go on: ") + step);
}

// ---------------------------------------------------------------- input, as a user gives it

inline void SendInputs(std::vector<INPUT> inputs) {
    UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) ADD_FAILURE() << "SendInput: " << SystemError();
}

// The pointer moved to a point of the screen, with the buttons of `flags` pressed or
// released there: every event carries its place, so that none lands where the pointer
// was before.
inline INPUT PointerAt(POINT at, DWORD flags = 0) {
    auto scale = [](LONG v, int metric) {
        return static_cast<LONG>((v * 65535 + ::GetSystemMetrics(metric) / 2) / (::GetSystemMetrics(metric) - 1));
    };
    INPUT input{INPUT_MOUSE};
    input.mi = {scale(at.x, SM_CXSCREEN), scale(at.y, SM_CYSCREEN), 0, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags};
    return input;
}
inline void MovePointer(POINT at) { SendInputs({PointerAt(at)}); }

// A left click at a point of the screen, or in the middle of a window.
inline void ClickAt(POINT at) {
    SendInputs({PointerAt(at), PointerAt(at, MOUSEEVENTF_LEFTDOWN), PointerAt(at, MOUSEEVENTF_LEFTUP)});
}
inline void Click(HWND window) {
    RECT r{};
    if (!::GetWindowRect(window, &r)) ADD_FAILURE() << "no window to click: " << SystemError();
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// The middle of button `index` (1-based) of the first toolbar inside `window`, on the screen.
inline POINT ToolbarButtonAt(HWND window, int index) {
    HWND toolbar = ::FindWindowExW(window, nullptr, TOOLBARCLASSNAMEW, nullptr);
    if (!toolbar) return ADD_FAILURE() << "no toolbar", POINT{};
    DWORD size = static_cast<DWORD>(::SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
    POINT at{(index - 1) * LOWORD(size) + LOWORD(size) / 2, HIWORD(size) / 2};
    ::ClientToScreen(toolbar, &at);
    return at;
}
inline void PressToolbarButton(HWND window, int index) { ClickAt(ToolbarButtonAt(window, index)); }

// Presses the keys in order and releases them in reverse: {VK_MENU, 'R'} is Alt+R.
inline void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki = {vk, 0, flags, 0, 0};
        inputs.push_back(input);
    };
    for (WORD vk : keys) key(vk, 0);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) key(*it, KEYEVENTF_KEYUP);
    SendInputs(inputs);
}

// The window that has the keyboard focus in the foreground program.
inline HWND FocusedWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
}

// A plain window of the test itself, shown: "another program" to switch to. Its own
// class, not a static control, which would let clicks through to what lies below.
class OtherProgram {
public:
    OtherProgram() {
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = L"QuorsetTestOtherProgram";
            return ::RegisterClassW(&wc);
        }();
        window_ = ::CreateWindowExW(0, MAKEINTATOM(windowClass), L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    900, 700, 300, 200, nullptr, nullptr, nullptr, nullptr);
        if (!window_) ADD_FAILURE() << "CreateWindowEx: " << SystemError();
    }
    ~OtherProgram() { ::DestroyWindow(window_); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // The user clicks it; true once it is the foreground window.
    bool ClickToFront() const {
        Click(window_);
        return WaitFor([&] { return ::GetForegroundWindow() == window_; }, 5000);
    }

private:
    HWND window_ = nullptr;
};

// The folder an environment variable names: the error report is in %APPDATA%\BROM\VULD,
// the crash dumps in %LOCALAPPDATA%\CrashDumps.
inline std::filesystem::path FolderOf(const wchar_t* variable) {
    wchar_t folder[MAX_PATH] = L"";
    ::GetEnvironmentVariableW(variable, folder, MAX_PATH);
    return folder;
}

// ---------------------------------------------------------------- the shell's side

// What the shell sends when the user does `mouseMessage` over the tray icon, once the
// program is at rest (a hand on the tray icon comes long after the program's last change).
inline void TrayCallback(HWND launcher, UINT mouseMessage) {
    Settle(launcher);
    ::PostMessageW(launcher, WM_MOUSEMOVE, 0, MAKELPARAM(mouseMessage, 0));
}

// A notification area that does not answer yet, as at log-on before the shell is ready:
// a window of the shell's class, in front of the real one, that refuses every icon; or,
// `late`, one that answers an add with failure and hands it to the real one all the same,
// as the shell does when the notification area answers after the caller gave up waiting.
// It counts the deletes it is sent. It has a thread of its own, so that it answers while
// the test waits elsewhere.
class UnreadyShell {
public:
    explicit UnreadyShell(bool late = false) : real_(late ? ::FindWindowW(L"Shell_TrayWnd", nullptr) : nullptr) {
        HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                if (m != WM_COPYDATA) return ::DefWindowProcW(w, m, wp, lp);
                auto* shell = reinterpret_cast<UnreadyShell*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
                DWORD operation = reinterpret_cast<COPYDATASTRUCT*>(lp)->dwData;
                shell->deletes_ += operation == NIM_DELETE;
                LRESULT taken = shell->real_ ? ::SendMessageW(shell->real_, WM_COPYDATA, wp, lp) : FALSE;
                return operation == NIM_ADD ? FALSE : taken;
            };
            wc.lpszClassName = L"Shell_TrayWnd";
            ::RegisterClassW(&wc);
            HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                            nullptr, nullptr, nullptr, nullptr);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            threadId_ = ::GetCurrentThreadId();
            ::SetEvent(ready);
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
            ::DestroyWindow(window);
            ::UnregisterClassW(wc.lpszClassName, nullptr);
        });
        ::WaitForSingleObject(ready, INFINITE);
        ::CloseHandle(ready);
    }
    // The shell is ready.
    ~UnreadyShell() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    UnreadyShell(const UnreadyShell&) = delete;
    UnreadyShell& operator=(const UnreadyShell&) = delete;
    int Deletes() const { return deletes_; }

private:
    HWND real_;
    std::atomic<int> deletes_{0};
    std::thread thread_;
    DWORD threadId_ = 0;
};

// A high-contrast scheme of black, white and greys for as long as it lives, as Windows
// sets one: the system colours, and no visual style for the programs started meanwhile
// (high contrast itself cannot be switched on under Wine).
class GreyScheme {
public:
    GreyScheme() {
        for (auto [element, grey] : kGreys) elements_.push_back(element), greys_.push_back(RGB(grey, grey, grey));
        for (int element : elements_) before_.push_back(::GetSysColor(element));
        Apply(greys_, L"0");
    }
    ~GreyScheme() { Apply(before_, L"1"); }
    GreyScheme(const GreyScheme&) = delete;
    GreyScheme& operator=(const GreyScheme&) = delete;

private:
    static constexpr std::pair<int, BYTE> kGreys[] = {
        {COLOR_BTNFACE, 0}, {COLOR_BTNTEXT, 255}, {COLOR_WINDOW, 0}, {COLOR_WINDOWTEXT, 255}, {COLOR_3DHILIGHT, 255},
        {COLOR_3DLIGHT, 192}, {COLOR_3DSHADOW, 128}, {COLOR_3DDKSHADOW, 255}, {COLOR_HIGHLIGHT, 128},
        {COLOR_HIGHLIGHTTEXT, 255}, {COLOR_GRAYTEXT, 160}, {COLOR_HOTLIGHT, 255}, {COLOR_ACTIVECAPTION, 64},
        {COLOR_GRADIENTACTIVECAPTION, 64}, {COLOR_CAPTIONTEXT, 255}, {COLOR_INACTIVECAPTION, 0},
        {COLOR_GRADIENTINACTIVECAPTION, 0}, {COLOR_INACTIVECAPTIONTEXT, 192}, {COLOR_WINDOWFRAME, 255}};
    // The colours, and whether the programs started from now on take a visual style.
    void Apply(const std::vector<COLORREF>& colours, const wchar_t* themed) {
        ::SetSysColors(static_cast<int>(elements_.size()), elements_.data(), colours.data());
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ThemeActive",
                          REG_SZ, themed, 4);
    }
    std::vector<int> elements_;
    std::vector<COLORREF> before_, greys_;
};

// Where a window's close box is on the screen, found as the window itself tells it.
inline POINT CloseBoxAt(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    for (LONG y = r.top; y < r.top + 40; y += 2)
        for (LONG x = r.right - 1; x > r.right - 60; x -= 2) {
            DWORD_PTR hit = 0;
            ::SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_BLOCK, 5000, &hit);
            if (hit == HTCLOSE) return POINT{x, y};
        }
    ADD_FAILURE() << "the window has no close box";
    return POINT{r.right - 8, r.top + 8};
}

// ---------------------------------------------------------------- the tray menu's account

// How often the tray menu driver had to open the menu again, over the test program's run.
struct TrayMenuTally {
    int choices = 0, reopened = 0, inARow = 0;
};
inline TrayMenuTally gTrayMenuTally;

// What the program's window thread is sent while a tray menu is open, seen from inside it
// by a hook (e2e/MessageWatch.cpp, loaded into it by the system): the menu showing ('S')
// and hiding ('H'), and the system cancelling its modes ('C') or taking its activation
// ('D'). Under Wine without a window manager the display server's late news that the
// focus had left the window comes as that cancel, sent to the foreground window by Wine's
// X11 driver, which closes an open menu. Event hooks from outside (SetWinEventHook) cannot
// show it: Wine 8 delivers them, but raises no menu, foreground or focus events of its own.
// Recorded while it lives, handled while this thread waits (tests/Wait.h).
class MenuWatch {
public:
    explicit MenuWatch(HWND launcher) {
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                if (m == WM_APP) seen_.push_back(static_cast<char>(lp));
                return ::DefWindowProcW(w, m, wp, lp);
            };
            wc.lpszClassName = L"QuorsetMessageWatch";
            return ::RegisterClassW(&wc);
        }();
        window_ = ::CreateWindowExW(0, MAKEINTATOM(windowClass), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        watch_ = ::LoadLibraryW((App::Path() + L"\\message_watch.dll").c_str());
        auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(watch_, "QuorsetMessageWatch")));
        hook_ = hook ? ::SetWindowsHookExW(WH_CALLWNDPROC, hook, watch_, ::GetWindowThreadProcessId(launcher, nullptr)) : nullptr;
        if (!hook_) ADD_FAILURE() << "no watch on the program's messages: " << SystemError();
    }
    ~MenuWatch() {
        ::UnhookWindowsHookEx(hook_);
        if (watch_) ::FreeLibrary(watch_);
        ::DestroyWindow(window_);
    }
    MenuWatch(const MenuWatch&) = delete;
    MenuWatch& operator=(const MenuWatch&) = delete;

    void Clear() { DrainMessages(), seen_.clear(); }
    // Once the menu has hidden (the program's thread has then run the hook).
    bool MenuHidden() {
        return WaitFor([&] { return seen_.find('H') != std::string::npos; }, 3000);
    }
    // The system cancelled the program's modes or took its activation while the menu showed.
    bool ClosedFromOutside() const {
        size_t shown = seen_.find('S'), hidden = seen_.find('H', shown);
        return shown != std::string::npos && hidden != std::string::npos &&
               seen_.substr(shown, hidden - shown).find_first_of("CD") != std::string::npos;
    }
    std::string Text() const {
        std::string text;
        for (char e : seen_)
            text += std::string(text.empty() ? "" : " ") + (e == 'S' ? "menu-shown" : e == 'H' ? "menu-hidden" : e == 'C' ? "cancel-mode" : "deactivated");
        return text.empty() ? "none" : text;
    }

private:
    inline static std::string seen_;
    HWND window_ = nullptr;
    HMODULE watch_ = nullptr;
    HHOOK hook_ = nullptr;
};

// ---------------------------------------------------------------- the program

// The resource components built, as the program folder ships them.
inline std::vector<std::wstring> EveryComponent() {
    std::vector<std::wstring> names;
    for (auto& entry : std::filesystem::directory_iterator(App::Path()))
        if (auto name = entry.path().filename().wstring(); name.starts_with(L"Vuld") && name.ends_with(L".dll"))
            names.push_back(name);
    return names;
}

// The entries the program adds to its toolbar window's system menu.
inline constexpr WPARAM kAbout = frmLaunch::kAboutCommand, kConfigure = frmLaunch::kConfigureCommand;

class Quorset {
public:
    // Lays out a program folder with the executable and the named components.
    explicit Quorset(std::vector<std::wstring> components = EveryComponent()) {
        std::filesystem::path from = App::Path();
        std::filesystem::copy_file(from / L"Quorset.exe", folder.Path() / L"Quorset.exe");
        for (auto& c : components) std::filesystem::copy_file(from / c, folder.Path() / c);
    }
    ~Quorset() {
        for (auto& p : processes) {
            if (::WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(p.hProcess, 1);
            ::WaitForSingleObject(p.hProcess, 5000);
            ::CloseHandle(p.hProcess);
            ::CloseHandle(p.hThread);
        }
    }
    Quorset(const Quorset&) = delete;
    Quorset& operator=(const Quorset&) = delete;

    // Starts the program with `arguments` and, unless told not to, waits until it waits
    // for input. Its working folder is the system folder, as when Windows starts it at
    // log-on: nothing it does may depend on starting in its own. It runs in the driver's
    // locale (Wine takes it from LC_ALL); its error output goes to a file of its own, read
    // by EndedCleanly. `program` names the executable otherwise than its folder's path
    // does (another spelling of the same file).
    HANDLE Start(const std::wstring& arguments = L"", bool waitUntilIdle = true, std::wstring program = L"") {
        if (program.empty()) program = (folder.Path() / L"Quorset.exe").wstring();
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        std::wstring errors = folder.File(L"stderr-" + std::to_wstring(processes.size()) + L".txt");
        HANDLE errorFile = ::CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (errorFile == INVALID_HANDLE_VALUE) return ADD_FAILURE() << "no error output: " << SystemError(), nullptr;
        PROCESS_INFORMATION process = StartProgram(program, arguments, L"", errorFile);
        ::CloseHandle(errorFile);
        if (!process.hProcess) return nullptr;
        processes.push_back(process);
        errorFiles.push_back(errors);
        if (waitUntilIdle) ::WaitForInputIdle(process.hProcess, 10000);
        return process.hProcess;
    }

    // Started with `arguments`: its toolbar window, once its icon is in the tray; or, started
    // without "/S", once the window is in front and at rest. The test ends when it does not.
    // `program` as for Start.
    HWND StartToTray(const std::wstring& arguments = L"", bool inFront = false, const std::wstring& program = L"") {
        Start(arguments, true, program);
        HWND launcher = Launcher();
        auto ready = [&] { return inFront ? ::GetForegroundWindow() == launcher : TrayIconPresent(launcher); };
        if (!launcher || !WaitFor(ready))
            StepFailed(inFront ? "the toolbar window did not come to the front" : "no icon in the tray");
        Settle(launcher);
        return launcher;
    }
    HWND StartShown(const std::wstring& program = L"") { return StartToTray(L"", true, program); }

    // One of the toolbar's programs, `name`.exe, in the program folder: a stand-in
    // (e2e/Marker.cpp) that leaves `name`.started in its working folder when it starts.
    void PlaceProgram(const std::wstring& name) const {
        std::filesystem::copy_file(App::Path() + L"\\launch_marker.exe", folder.Path() / (name + L".exe"));
    }
    // Once the stand-in `name` has started in the program folder.
    bool ProgramStarted(const std::wstring& name) const {
        return WaitFor([&] { return std::filesystem::exists(folder.Path() / (name + L".started")); });
    }

    // The first top-level window of the last started process for which `match` holds.
    HWND Find(const std::function<bool(HWND)>& match, int milliseconds = 10000) const {
        if (processes.empty()) return ADD_FAILURE() << "no program was started", nullptr;
        DWORD pid = processes.back().dwProcessId;
        return WindowWhere([&](HWND w) { return ProcessOf(w) == pid && match(w); }, milliseconds);
    }
    // A window of the given class (a pop-up menu only while it shows).
    HWND Window(const std::wstring& windowClass, int milliseconds = 10000) const {
        return Find([&](HWND w) { return ClassOf(w) == windowClass && (windowClass != L"#32768" || ::IsWindowVisible(w)); },
                    milliseconds);
    }
    HWND Launcher() const { return Window(L"QuorsetForm"); }
    HWND MessageBoxWindow(int milliseconds = 10000) const { return Window(L"#32770", milliseconds); }
    // The text of the next message box, which is then closed; empty when none comes.
    std::wstring ReadBox(int milliseconds = 10000) const {
        HWND box = MessageBoxWindow(milliseconds);
        return box ? ReadAndClose(box) : L"";
    }
    HWND OpenMenu(int milliseconds = 5000) const { return Window(L"#32768", milliseconds); }
    // Chooses an entry of the toolbar window's system menu (kAbout, kConfigure): the dialog
    // it opens, once in front (it comes there by itself) and drawn. The test ends when none
    // comes.
    HWND OpenFromSystemMenu(HWND launcher, WPARAM command) const {
        ::PostMessageW(launcher, WM_SYSCOMMAND, command, 0);
        HWND dialog = Find([&](HWND w) { return w != launcher && ClassOf(w) == L"QuorsetForm" && ::IsWindowVisible(w); });
        if (!dialog || !WaitFor([&] { return ::GetForegroundWindow() == dialog; })) StepFailed("no dialog came to the front");
        Settle(dialog);
        return dialog;
    }

    // Ends the program the way the task manager and the installer do.
    void EndAsTheTaskManagerDoes() const {
        if (!Window(L"QuorsetApplication")) ADD_FAILURE() << "the program does not wait for input";
        outside::EndAsTheTaskManagerDoes(processes.back().dwProcessId);
    }

    // Every process started so far, first to last.
    std::vector<HANDLE> Processes() const {
        std::vector<HANDLE> handles;
        for (auto& p : processes) handles.push_back(p.hProcess);
        return handles;
    }

    // Whether a started process (the last one unless told) ended within the time.
    bool Exited(int milliseconds = 8000, size_t index = SIZE_MAX) const {
        if (processes.empty()) return false;
        HANDLE process = processes[std::min(index, processes.size() - 1)].hProcess;
        return ::WaitForSingleObject(process, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
    }

    // A started process (the last one unless told) ended, with exit code 0 and nothing on
    // its error output.
    ::testing::AssertionResult EndedCleanly(int milliseconds = 8000, size_t index = SIZE_MAX) const {
        if (!Exited(milliseconds, index)) return ::testing::AssertionFailure() << "the program is still running";
        index = std::min(index, processes.size() - 1);
        DWORD code = 1;
        ::GetExitCodeProcess(processes[index].hProcess, &code);
        if (code != 0) return ::testing::AssertionFailure() << "exit code " << code << " (0x" << std::hex << code << ")";
        std::string errors = ReadBytes(errorFiles[index]);
        if (!errors.empty()) return ::testing::AssertionFailure() << "error output: " << errors;
        return ::testing::AssertionSuccess();
    }

    // Opens the tray menu as the shell does for a right click on the icon and for Enter,
    // Space or the menu key on it (Win+B, then the arrow keys): the right button's press
    // and release. Then presses `keys` in the menu: an item's access key ('S', 'H', 'X'),
    // or arrows and Enter. True once the keys have reached the open menu, the menu has
    // closed and what the choice does (`took`) is seen. Under Wine the display server's
    // late news that the focus had moved can close the menu before the keys reach it; a
    // person then opens it again, and so does this, once, but only when the program's own
    // thread shows that news (MenuWatch): the system cancelled its modes or took its
    // activation while the menu showed. A menu that closed without it, or a choice that
    // did not take, fails with what was seen. Every opening again is counted and printed.
    bool ChooseFromTrayMenu(HWND launcher, std::initializer_list<WORD> keys, const std::function<bool()>& took,
                            const wchar_t* screenshot = nullptr) const {
        auto& tally = gTrayMenuTally;
        ++tally.choices;
        MenuWatch events(launcher);
        for (int opening = 1;; ++opening) {
            events.Clear();
            TrayCallback(launcher, WM_RBUTTONDOWN);
            ::PostMessageW(launcher, WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 0));
            HWND menu = OpenMenu();
            if (menu) {
                Settle(menu);  // the program has read what the display server had to say
                if (screenshot && opening == 1) SaveScreenshot(::GetDesktopWindow(), screenshot);
                if (::IsWindowVisible(menu))
                    for (WORD key : keys) ::PostMessageW(menu, WM_KEYDOWN, key, 0);
                if (!WaitFor([&] { return !::IsWindowVisible(menu); }, 5000))
                    return ADD_FAILURE() << "the menu stayed open after its keys", false;
                if (WaitFor(took, 3000)) {
                    tally.inARow = 0;
                    return true;
                }
            }
            events.MenuHidden();
            if (!events.ClosedFromOutside())
                return ADD_FAILURE() << (menu ? "the choice did not take" : "no tray menu opened")
                                     << " and nothing outside the program closed the menu; events: " << events.Text()
                                     << "; " << Screen(),
                       false;
            ++tally.reopened;
            std::cout << "[ NOTE     ] the system closed the tray menu (" << events.Text() << "); opened again ("
                      << tally.reopened << " of " << tally.choices << " choices)\n";
            if (++tally.inARow == 2)
                return ADD_FAILURE() << "the tray menu was closed twice in a row; " << Screen(), false;
        }
    }

    ScratchFolder folder;

private:
    std::vector<PROCESS_INFORMATION> processes;
    std::vector<std::wstring> errorFiles;
};

}  // namespace qs::test
