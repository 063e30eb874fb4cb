// Drives a Windows program from outside, as another program does: starts it, finds its
// windows, sees its tray icon, waits until its thread is at rest, ends it as the task
// manager does, and reads what it holds. No test framework: the tests' driver
// (tests/e2e/Driver.h) and the benchmark's measuring program both stand on it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace qs::outside {

// ---------------------------------------------------------------- windows

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}
// Asked of the window itself: for another program's window GetWindowText gives only the
// caption the system keeps, which a tool tip, for one, does not set.
inline std::wstring TextOf(HWND window) {
    wchar_t text[2048] = L"";
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &length);
    return text;
}
inline DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

// The windows for which `match` holds: the top-level ones, or all controls inside `parent`.
inline std::vector<HWND> WindowsWhere(HWND parent, const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>& match;
        std::vector<HWND> found;
    } search{match, {}};
    WNDENUMPROC visit = [](HWND window, LPARAM l) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(l);
        if (s.match(window)) s.found.push_back(window);
        return TRUE;
    };
    parent ? ::EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search))
           : ::EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The texts of a toolbar's buttons, as a screen reader reads them from the toolbar's
// process: the messages' records live in that process's memory.
inline std::vector<std::wstring> ButtonTextsOf(HWND toolbar) {
    std::vector<std::wstring> texts;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, ProcessOf(toolbar));
    void* remote = process ? ::VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (!remote) return texts;
    auto count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        wchar_t text[512] = L"";
        ::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process, remote, &button, sizeof button, nullptr);
        ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process, remote, text, sizeof text - sizeof *text, nullptr);
        texts.push_back(text);
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return texts;
}

// The first top-level window of the process with the class, shown or not; none when
// there is none yet.
inline HWND WindowOf(DWORD pid, const std::wstring& windowClass) {
    auto found = WindowsWhere(nullptr, [&](HWND w) { return ProcessOf(w) == pid && ClassOf(w) == windowClass; });
    return found.empty() ? nullptr : found[0];
}

// Whether the shell holds an icon of the window (a modify without changes succeeds only
// for an icon that is there).
inline bool TrayIconPresent(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Returns once the thread that owns `window` has handled everything sent to it before,
// painted what that changed, and read what the display server told it meanwhile: the
// synchronisation before a check that nothing happened, and before a step that the
// program must meet at rest. Under Wine the display server's news (the keyboard focus
// moving between the program's windows, for one) reaches the program later than its own
// changes; were a focus loss that is long over read while a menu is open, it would close
// the menu. Reading a pixel of the screen waits until the server has done everything
// asked of it before, and so has sent that news; the last round trip lets the program
// read it.
inline bool Settle(HWND window) {
    DWORD_PTR ignored = 0;
    auto handled = [&] { return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored) != 0; };
    if (!handled()) return false;
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC screen = ::GetDC(nullptr);
    ::GetPixel(screen, 0, 0);
    ::ReleaseDC(nullptr, screen);
    return handled();
}

// ---------------------------------------------------------------- the process

// Starts `program` with `arguments` in `folder` (the system folder when empty), its
// error output going to `errors` (none when null). Under Wine process creation itself
// fails now and then while many start at once (ERROR_INTERNAL_ERROR, before the program
// runs a single instruction); the start is then made again, and said so. False with
// the system's error when it could not be started.
inline bool Start(const std::wstring& program, const std::wstring& arguments, std::wstring folder, HANDLE errors,
                  PROCESS_INFORMATION& process, DWORD& error) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    if (folder.empty()) {
        wchar_t system[MAX_PATH] = L"";
        ::GetSystemDirectoryW(system, MAX_PATH);
        folder = system;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (errors) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = errors;
    }
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, errors != nullptr, 0, nullptr, folder.c_str(),
                             &startup, &process))
            return true;
        error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) return false;
        std::printf("[ NOTE     ] the system could not create the process; started again\n");
    }
}

// Ends the program the way the task manager and the installer do: a close sent to the
// window that stands for the whole program.
inline void EndAsTheTaskManagerDoes(DWORD pid) {
    ::PostMessageW(WindowOf(pid, L"QuorsetApplication"), WM_CLOSE, 0, 0);
}

// Kernel handles of a process, counted in the system's handle table: Wine 8 answers
// GetProcessHandleCount with 0.
inline size_t KernelHandles(DWORD pid) {
    struct Entry {
        void* object;
        ULONG_PTR process, handle;
        ULONG access;
        USHORT backTrace, type;
        ULONG attributes, reserved;
    };
    struct Table {
        ULONG_PTR count, reserved;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kExtendedHandles = 64;
    constexpr LONG kTooSmall = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 20);
    while (query(kExtendedHandles, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr) == kTooSmall)
        buffer.resize(buffer.size() * 2);
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    return static_cast<size_t>(std::count_if(table->entries, table->entries + table->count,
                                             [&](const Entry& e) { return e.process == pid; }));
}

// The process's memory: working set and private bytes (Windows counts them twice, Wine
// only as PagefileUsage).
inline PROCESS_MEMORY_COUNTERS MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process, &memory, sizeof memory);
    return memory;
}

}  // namespace qs::outside
