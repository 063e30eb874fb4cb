// Writes Quorset-<yyyymmdd>-<hhmmss>-<pid>.dmp (local time) into the report's folder with
// the system's MiniDumpWriteDump, and keeps the five newest.
//
// The faulting thread only starts a writer thread, with a stack of its own, and waits:
// its own stack may be used up, and it may hold the heap's or the loader's lock. The
// writer loads the system's dbghelp.dll by its full path and writes; a run without a
// crash pays for nothing. A writer stuck on a lock the faulting thread holds is given up
// after kWriteTimeout: the process then ends without a dump rather than hang.
#include "errors/CrashDump.h"

#include <dbghelp.h>

#include <atomic>
#include <cwchar>

namespace qs::CrashDump {
namespace {

constexpr int kKept = 5;
constexpr size_t kPathChars = 1024;
constexpr DWORD kWriteTimeout = 30000;

wchar_t gFolder[kPathChars];  // with its final backslash; empty: no dumps

std::atomic<DWORD> gWriterId{0};
SRWLOCK gOneAtATime = SRWLOCK_INIT;  // two threads that fault at once are dumped in turn
DWORD gFaultingThread = 0;
EXCEPTION_POINTERS* gInformation = nullptr;

// `to` (room for kPathChars) becomes gFolder + `name`; false when it does not fit.
bool InFolder(wchar_t* to, const wchar_t* name) noexcept {
    size_t folder = std::wcslen(gFolder), length = std::wcslen(name);
    if (folder + length >= kPathChars) return false;
    std::wmemcpy(to, gFolder, folder);
    std::wmemcpy(to + folder, name, length + 1);
    return true;
}

// Appends `value` as `digits` decimal digits (or as many as it has, when digits is 0).
wchar_t* Digits(wchar_t* at, unsigned value, int digits) noexcept {
    wchar_t reversed[10];
    int n = 0;
    do reversed[n++] = static_cast<wchar_t>(L'0' + value % 10), value /= 10;
    while (value && n < 10);
    while (n < digits) reversed[n++] = L'0';
    while (n) *at++ = reversed[--n];
    return at;
}

// Quorset-20261208-071502-4242.dmp
void DumpName(wchar_t* name) noexcept {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t* at = name;
    for (const wchar_t* c = L"Quorset-"; *c; ++c) *at++ = *c;
    at = Digits(Digits(Digits(at, now.wYear, 4), now.wMonth, 2), now.wDay, 2);
    *at++ = L'-';
    at = Digits(Digits(Digits(at, now.wHour, 2), now.wMinute, 2), now.wSecond, 2);
    *at++ = L'-';
    at = Digits(at, ::GetCurrentProcessId(), 0);
    for (const wchar_t* c = L".dmp"; *c; ++c) *at++ = *c;
    *at = 0;
}

bool IsDump(const wchar_t* name) noexcept {
    size_t length = std::wcslen(name);
    return length > 12 && std::wcsncmp(name, L"Quorset-", 8) == 0 && std::wcscmp(name + length - 4, L".dmp") == 0;
}

// The names carry the time, so the oldest dump is the first by name.
void KeepNewest() noexcept {
    wchar_t pattern[kPathChars], oldest[MAX_PATH], path[kPathChars];
    if (!InFolder(pattern, L"Quorset-*.dmp")) return;
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
        if (count <= kKept || !InFolder(path, oldest) || !::DeleteFileW(path)) return;
    }
}

using WriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                        PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// The system's own dbghelp.dll, never one beside the program.
WriteDumpFunction DumpWriter() noexcept {
    static WriteDumpFunction function = nullptr;
    if (function) return function;
    wchar_t path[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (!length || length + 13 >= MAX_PATH) return nullptr;
    std::wmemcpy(path + length, L"\\dbghelp.dll", 13);
    if (HMODULE library = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        function = reinterpret_cast<WriteDumpFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "MiniDumpWriteDump")));
    return function;
}

void WriteDump() noexcept {
    DWORD attributes = ::GetFileAttributesW(gFolder);
    if (!gFolder[0] || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    WriteDumpFunction write = DumpWriter();
    wchar_t name[64], path[kPathChars];
    DumpName(name);
    if (!write || !InFolder(path, name)) return;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    // The threads' stacks, the modules and the exception with the faulting thread's context.
    MINIDUMP_EXCEPTION_INFORMATION exception{gFaultingThread, gInformation, FALSE};
    BOOL written = write(::GetCurrentProcess(), ::GetCurrentProcessId(), file, MiniDumpNormal, &exception, nullptr,
                         nullptr);
    ::CloseHandle(file);
    if (!written) ::DeleteFileW(path);  // half a dump tells nothing
    else KeepNewest();
}

DWORD WINAPI Writer(void*) {
    WriteDump();
    return 0;
}

}  // namespace

void Folder(std::wstring_view folder) noexcept {
    size_t length = folder.size() < kPathChars ? folder.size() : 0;  // a longer one: no dumps
    std::wmemcpy(gFolder, folder.data(), length);
    gFolder[length] = 0;
}

void Write(EXCEPTION_POINTERS* information) noexcept {
    // The writer itself faulted: nothing can be written.
    if (::GetCurrentThreadId() == gWriterId) return;
    ::AcquireSRWLockExclusive(&gOneAtATime);
    gFaultingThread = ::GetCurrentThreadId();
    gInformation = information;
    // Suspended until its id is known, so that a fault of its own is told from this one.
    DWORD id = 0;
    if (HANDLE writer = ::CreateThread(nullptr, 0, &Writer, nullptr, CREATE_SUSPENDED, &id)) {
        gWriterId = id;
        ::ResumeThread(writer);
        ::WaitForSingleObject(writer, kWriteTimeout);
        ::CloseHandle(writer);
    }
    ::ReleaseSRWLockExclusive(&gOneAtATime);
}

}  // namespace qs::CrashDump
