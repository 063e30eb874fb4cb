// Measures a program from outside under the same wineserver and prints one JSON object
// per line, for scripts/bench to gather:
//   measure start <exe> <window class>    start -> window visible, start -> tray icon
//                                          added (ms), working set and private bytes
//   measure idle <exe> <window class> <seconds> [/S]
//                                          CPU time used while it waits, window shown or not
//   measure frames <count>                 Push + Pop and one HandleError without a report (ns)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/Outside.h"
#include "errors/CErrHandler.h"
#include "errors/Frames.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The program's window of the class, once there is one; none after 20 s.
HWND AwaitWindow(const PROCESS_INFORMATION& process, const wchar_t* windowClass) {
    HWND window = nullptr;
    for (double begin = Now(); !(window = qs::outside::WindowOf(process.dwProcessId, windowClass)) && Now() - begin < 20000;)
        ::Sleep(1);
    return window;
}

PROCESS_INFORMATION Start(const std::wstring& exe, const std::wstring& arguments) {
    PROCESS_INFORMATION process{};
    DWORD error = 0;
    if (!qs::outside::Start(exe, arguments, exe.substr(0, exe.find_last_of(L"\\/")), nullptr, process, error)) {
        std::fprintf(stderr, "cannot start %ls (%lu)\n", exe.c_str(), error);
        std::exit(1);
    }
    return process;
}

// Ends the program as the task manager does (the floors, which have no window for the
// whole program, by a close to their own) and waits for it.
void End(const PROCESS_INFORMATION& process, const wchar_t* windowClass) {
    if (qs::outside::WindowOf(process.dwProcessId, L"QuorsetApplication")) qs::outside::EndAsTheTaskManagerDoes(process.dwProcessId);
    else ::PostMessageW(qs::outside::WindowOf(process.dwProcessId, windowClass), WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
}

int StartFigures(const std::wstring& exe, const wchar_t* windowClass) {
    double begin = Now(), visible = -1, tray = -1;
    PROCESS_INFORMATION process = Start(exe, L"");
    HWND window = nullptr;
    while ((visible < 0 || tray < 0) && Now() - begin < 20000) {
        if (!window) window = qs::outside::WindowOf(process.dwProcessId, windowClass);
        if (window && visible < 0 && ::IsWindowVisible(window)) visible = Now() - begin;
        if (window && tray < 0 && qs::outside::TrayIconPresent(window)) tray = Now() - begin;
        if (visible < 0 || tray < 0) ::Sleep(1);
    }
    qs::outside::Settle(window);
    PROCESS_MEMORY_COUNTERS memory = qs::outside::MemoryOf(process.hProcess);
    std::printf("{\"window_ms\": %.2f, \"tray_ms\": %.2f, \"working_set_kib\": %llu, \"private_kib\": %llu, "
                "\"pid\": %lu}\n",
                visible, tray, static_cast<unsigned long long>(memory.WorkingSetSize / 1024),
                static_cast<unsigned long long>(memory.PagefileUsage / 1024), process.dwProcessId);
    std::fflush(stdout);
    ::Sleep(300);  // scripts/bench reads the program's memory from Linux meanwhile
    End(process, windowClass);
    return 0;
}

double CpuMs(HANDLE process) {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(process, &created, &ended, &kernel, &user);
    auto ms = [](FILETIME t) { return static_cast<double>((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

int IdleFigures(const std::wstring& exe, const wchar_t* windowClass, int seconds, const std::wstring& arguments) {
    PROCESS_INFORMATION process = Start(exe, arguments);
    HWND window = AwaitWindow(process, windowClass);
    qs::outside::Settle(window);
    double before = CpuMs(process.hProcess);
    // The program's Linux process is found by its pid file: scripts/bench reads its CPU
    // time from /proc, since Wine may not keep other processes' times.
    std::printf("{\"idle_pid\": %lu}\n", process.dwProcessId);
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    double after = CpuMs(process.hProcess);
    std::printf("{\"idle_cpu_ms\": %.2f, \"seconds\": %d, \"shown\": %s}\n", after - before, seconds,
                ::IsWindowVisible(window) ? "true" : "false");
    End(process, windowClass);
    return 0;
}

int FrameFigures(long count) {
    qs::gErrHandler = std::make_unique<qs::CErrHandler>();
    double begin = Now();
    for (long i = 0; i < count; ++i) {
        qs::gErrHandler->Push(L"modBench.Loop");
        qs::gErrHandler->Pop();
    }
    double pushPop = (Now() - begin) * 1e6 / static_cast<double>(count);
    qs::gErrHandler->DisplayMsgOnError(false);  // no message, and no report: no destination
    long errors = count / 100;
    begin = Now();
    for (long i = 0; i < errors; ++i) qs::framed(L"modBench.Failing", [] { qs::RaiseRuntime(qs::errOverflow); });
    double handle = (Now() - begin) * 1e6 / static_cast<double>(errors);
    std::printf("{\"push_pop_ns\": %.1f, \"handle_error_ns\": %.1f}\n", pushPop, handle);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    // The pointer rests in a corner that neither program's window covers, as a user's does
    // while the launcher waits; over a toolbar button it would keep the button's hot state
    // and tip working.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    if (mode == L"start" && argc >= 4) return StartFigures(argv[2], argv[3]);
    if (mode == L"idle" && argc >= 5) return IdleFigures(argv[2], argv[3], _wtoi(argv[4]), argc > 5 ? argv[5] : L"");
    if (mode == L"frames" && argc >= 3) return FrameFigures(_wtol(argv[2]));
    std::fprintf(stderr, "usage: measure start|idle|frames ...\n");
    return 2;
}
