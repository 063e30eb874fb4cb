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

namespace qs::CrashDump {
namespace {

constexpr int kKept = 5;
constexpr size_t kPathChars = 1024;
constexpr DWORD kWriteTimeout = 30000;
constexpr wchar_t kSwitch[] = L"/CrashDump ";
constexpr size_t kSwitchChars = sizeof kSwitch / sizeof *kSwitch - 1;

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

// `to` (room for kPathChars) becomes `folder` + `name`; false when it does not fit.
bool InFolder(wchar_t* to, const wchar_t* folder, const wchar_t* name) noexcept {
    size_t length = std::wcslen(folder), more = std::wcslen(name);
    if (length + more >= kPathChars) return false;
    std::wmemcpy(to, folder, length);
    std::wmemcpy(to + length, name, more + 1);
    return true;
}

// Quorset-20261208-071502-4242.dmp, of the process `pid`.
void DumpName(wchar_t* name, DWORD pid) noexcept {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t* at = std::wmemcpy(name, L"Quorset-", 8) + 8;
    at = Digits(Digits(Digits(at, now.wYear, 4), now.wMonth, 2), now.wDay, 2);
    *at++ = L'-';
    at = Digits(Digits(Digits(at, now.wHour, 2), now.wMinute, 2), now.wSecond, 2);
    *at++ = L'-';
    at = Digits(at, pid);
    std::wmemcpy(at, L".dmp", 5);
}

// The program's dumps are the folder's files named Quorset-<digits and dashes>.dmp.
bool IsDump(const wchar_t* name) noexcept {
    size_t length = std::wcslen(name);
    if (length <= 12 || std::wcsncmp(name, L"Quorset-", 8) != 0 || std::wcscmp(name + length - 4, L".dmp") != 0)
        return false;
    for (const wchar_t* c = name + 8; c < name + length - 4; ++c)
        if ((*c < L'0' || *c > L'9') && *c != L'-') return false;
    return true;
}

// The names carry the time, so the oldest dump is the first by name.
void KeepNewest(const wchar_t* folder) noexcept {
    wchar_t pattern[kPathChars], oldest[MAX_PATH], path[kPathChars];
    if (!InFolder(pattern, folder, L"Quorset-*.dmp")) return;
    for (;;) {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW(pattern, &found);
        if (search == INVALID_HANDLE_VALUE) return;
        int count = 0;
        oldest[0] = 0;
        do {
            if (!IsDump(found.cFileName)) continue;
            ++count;
            if (!oldest[0] || std::wcscmp(found.cFileName, oldest) < 0) std::wcscpy(oldest, found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        if (count <= kKept || !InFolder(path, folder, oldest) || !::DeleteFileW(path)) return;
    }
}

// Reads a decimal number and the blank after it.
unsigned long long Number(const wchar_t*& at) noexcept {
    unsigned long long value = 0;
    while (*at >= L'0' && *at <= L'9') value = value * 10 + static_cast<unsigned>(*at++ - L'0');
    if (*at == L' ') ++at;
    return value;
}

using WriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                        PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// The system's own dbghelp.dll, never one beside the program.
WriteDumpFunction DumpWriter() noexcept {
    HMODULE library = ::LoadLibraryExW(L"dbghelp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library ? reinterpret_cast<WriteDumpFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "MiniDumpWriteDump")))
                   : nullptr;
}

// Where Windows itself leaves the dumps of crashed programs, with its final backslash;
// made when it is not there yet. False when there is no such folder.
bool DumpFolder(wchar_t* folder) noexcept {
    DWORD length = ::ExpandEnvironmentStringsW(L"%LOCALAPPDATA%\\CrashDumps\\", folder, kPathChars);
    if (!length || length > kPathChars || folder[0] == L'%') return false;
    ::CreateDirectoryW(folder, nullptr);
    return true;
}

void WriteDump(DWORD pid, DWORD thread, DWORD64 pointers) noexcept {
    wchar_t folder[kPathChars], name[64], path[kPathChars];
    WriteDumpFunction write = DumpWriter();
    DumpName(name, pid);
    if (!write || !DumpFolder(folder) || !InFolder(path, folder, name)) return;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        // The threads' stacks, the modules and the exception with the faulting thread's
        // context, read from the faulting process's memory.
        MINIDUMP_EXCEPTION_INFORMATION exception{thread, reinterpret_cast<EXCEPTION_POINTERS*>(pointers), TRUE};
        BOOL written = write(process, pid, file, MiniDumpNormal, &exception, nullptr, nullptr);
        ::CloseHandle(file);
        if (!written) ::DeleteFileW(path);  // half a dump tells nothing
        else KeepNewest(folder);
    }
    ::CloseHandle(process);
}

}  // namespace

void Writer(std::wstring_view executable) noexcept {
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
    if (!arguments || std::wcsncmp(arguments, kSwitch, kSwitchChars) != 0) return false;
    const wchar_t* at = arguments + kSwitchChars;
    auto pid = static_cast<DWORD>(Number(at));
    auto thread = static_cast<DWORD>(Number(at));
    WriteDump(pid, thread, Number(at));
    return true;
}

}  // namespace qs::CrashDump
