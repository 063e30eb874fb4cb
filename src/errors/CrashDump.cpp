// Crash dumps, written from another process: the faulting process starts its own
// executable with "/CrashDump <process> <thread> <exception pointers>" and waits; that
// process opens the faulting one, writes Quorset-<yyyymmdd>-<hhmmss>-<pid>.dmp (local
// time) into %LOCALAPPDATA%\CrashDumps with the system's MiniDumpWriteDump and keeps
// the five newest of the program's dumps there.
//
// The faulting thread starts no thread and loads no library of its own: a new thread
// and a library both need the loader's lock, which the faulting thread, or another
// one, may hold. It builds the command line on its stack, from a prefix made at start.
// A writer that does not finish within kWriteTimeout is given up: the process then
// ends rather than hang.
#include "errors/CrashDump.h"

#include <dbghelp.h>

#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>
#include <algorithm>

namespace qs::CrashDump {
namespace {

constexpr int kKept = 5;
constexpr size_t kPathChars = 1024;
constexpr DWORD kWriteTimeout = 30000;
constexpr wchar_t kSwitch[] = L"/CrashDump ";

wchar_t gCommand[kPathChars];  // "<writer>" /CrashDump ; empty: no dumps
size_t gCommandLength = 0;
SRWLOCK gOneAtATime = SRWLOCK_INIT;  // two threads that fault at once are dumped in turn

// Appends `value` in decimal, at least `digits` digits.
wchar_t* Digits(wchar_t* at, unsigned long long value, int digits = 1) noexcept {
    wchar_t reversed[24];
    int n = 0;
    do reversed[n++] = static_cast<wchar_t>(L'0' + value % 10), value /= 10;
    while (value);
    while (n < digits) reversed[n++] = L'0';
    while (n) *at++ = reversed[--n];
    return at;
}

// Quorset-20261208-071502-4242.dmp, of the process `pid`.
std::wstring DumpName(DWORD pid) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t name[64] = L"Quorset-", *at = name + 8;
    at = Digits(Digits(Digits(at, now.wYear, 4), now.wMonth, 2), now.wDay, 2);
    *at++ = L'-';
    at = Digits(Digits(Digits(at, now.wHour, 2), now.wMinute, 2), now.wSecond, 2);
    *at++ = L'-';
    at = Digits(at, pid);
    std::wcscpy(at, L".dmp");
    return name;
}

// The program's dumps are the folder's files named Quorset-<digits and dashes>.dmp.
bool IsDump(const std::wstring& name) {
    return name.size() > 12 && name.starts_with(L"Quorset-") && name.ends_with(L".dmp") &&
           std::all_of(name.begin() + 8, name.end() - 4, [](wchar_t c) { return std::iswdigit(c) || c == L'-'; });
}

// The names carry the time, so the oldest dumps are the first by name.
void KeepNewest(const std::wstring& folder) {
    std::vector<std::wstring> dumps;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"Quorset-*.dmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do
        if (IsDump(found.cFileName)) dumps.emplace_back(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(dumps.begin(), dumps.end());
    for (size_t i = 0; i + kKept < dumps.size(); ++i) ::DeleteFileW((folder + dumps[i]).c_str());
}

using WriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                        PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

using SymSetOptionsFunction = DWORD(WINAPI*)(DWORD);

// The system's own dbghelp.dll, never one beside the program. A dump holds no symbols:
// the library is told to read none of the modules it lists, which some of its versions
// would otherwise do for every module of the process first.
WriteDumpFunction DumpWriter() {
    HMODULE library = ::LoadLibraryExW(L"dbghelp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return nullptr;
    if (auto options = reinterpret_cast<SymSetOptionsFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "SymSetOptions"))))
        options(SYMOPT_DEFERRED_LOADS);
    return reinterpret_cast<WriteDumpFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "MiniDumpWriteDump")));
}

// Where Windows itself leaves the dumps of crashed programs, with its final backslash;
// made when it is not there yet.
std::wstring DumpFolder() {
    wchar_t folder[kPathChars];
    DWORD length = ::ExpandEnvironmentStringsW(L"%LOCALAPPDATA%\\CrashDumps\\", folder, kPathChars);
    if (!length || length > kPathChars || folder[0] == L'%') return {};
    ::CreateDirectoryW(folder, nullptr);
    return folder;
}

void WriteDump(DWORD pid, DWORD thread, DWORD64 pointers) {
    std::wstring folder = DumpFolder();
    WriteDumpFunction write = DumpWriter();
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (folder.empty() || !write || !process) {
        if (process) ::CloseHandle(process);
        return;
    }
    std::wstring path = folder + DumpName(pid);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        // The threads' stacks, the modules and the exception with the faulting thread's
        // context, read from the faulting process's memory.
        MINIDUMP_EXCEPTION_INFORMATION exception{thread, reinterpret_cast<EXCEPTION_POINTERS*>(pointers), TRUE};
        BOOL written = write(process, pid, file, MiniDumpNormal, &exception, nullptr, nullptr);
        ::CloseHandle(file);
        if (!written) ::DeleteFileW(path.c_str());  // half a dump tells nothing
        else KeepNewest(folder);
    }
    ::CloseHandle(process);
}

}  // namespace

void Writer(std::wstring_view executable) noexcept {
    constexpr size_t kSwitchChars = sizeof kSwitch / sizeof *kSwitch - 1;
    gCommandLength = 0;
    // Room for the quotes, the switch, three numbers and the terminator.
    if (executable.empty() || executable.size() + kSwitchChars + 64 > kPathChars) return;
    wchar_t* at = gCommand;
    *at++ = L'"';
    at = std::wmemcpy(at, executable.data(), executable.size()) + executable.size();
    *at++ = L'"';
    *at++ = L' ';
    at = std::wmemcpy(at, kSwitch, kSwitchChars) + kSwitchChars;
    gCommandLength = static_cast<size_t>(at - gCommand);
}

void Write(EXCEPTION_POINTERS* information) noexcept {
    if (!gCommandLength) return;
    ::AcquireSRWLockExclusive(&gOneAtATime);
    wchar_t command[kPathChars];
    wchar_t* at = std::wmemcpy(command, gCommand, gCommandLength) + gCommandLength;
    at = Digits(at, ::GetCurrentProcessId());
    *at++ = L' ';
    at = Digits(at, ::GetCurrentThreadId());
    *at++ = L' ';
    at = Digits(at, reinterpret_cast<uintptr_t>(information));
    *at = 0;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION writer{};
    if (::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &writer)) {
        ::CloseHandle(writer.hThread);
        ::WaitForSingleObject(writer.hProcess, kWriteTimeout);
        ::CloseHandle(writer.hProcess);
    }
    ::ReleaseSRWLockExclusive(&gOneAtATime);
}

bool Served(const wchar_t* arguments) noexcept {
    constexpr size_t kSwitchChars = sizeof kSwitch / sizeof *kSwitch - 1;
    if (!arguments || std::wcsncmp(arguments, kSwitch, kSwitchChars) != 0) return false;
    wchar_t* at = nullptr;
    auto pid = static_cast<DWORD>(std::wcstoul(arguments + kSwitchChars, &at, 10));
    auto thread = static_cast<DWORD>(std::wcstoul(at, &at, 10));
    DWORD64 pointers = std::wcstoull(at, &at, 10);
    try {
        WriteDump(pid, thread, pointers);
    } catch (...) {
        // Out of memory: no dump.
    }
    return true;
}

}  // namespace qs::CrashDump
