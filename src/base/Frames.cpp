// The out-of-line halves of the local frames.
#include "base/Frames.h"

#include <windows.h>

#include <atomic>

#include "base/Notice.h"
#include "text/Number.h"

namespace qs {
namespace frames {
namespace {
// The count of each thread lives in a thread-local storage slot of the system, not in a
// C++ thread_local: the exception filter reads it on the faulting thread, which may be
// inside the heap, and the compiler's emulated thread-locals allocate on a thread's
// first access. The slot is taken at static initialisation (or by the first frame, if
// one runs before that); reading it never allocates. Without a slot the count stays 0,
// and processor exceptions are left to the platform.
std::atomic<DWORD> gArmedSlot{0};  // the slot's index plus one; 0 while there is none

DWORD ArmedSlot() noexcept {
    if (DWORD slot = gArmedSlot.load(std::memory_order_acquire)) return slot - 1;
    DWORD made = ::TlsAlloc();
    if (made == TLS_OUT_OF_INDEXES) return made;
    DWORD none = 0;
    if (gArmedSlot.compare_exchange_strong(none, made + 1, std::memory_order_acq_rel)) return made;
    ::TlsFree(made);
    return none - 1;
}
[[maybe_unused]] const DWORD gArmedSlotAtStart = ArmedSlot();

// TlsGetValue resets the thread's last error; a frame must leave it as it was.
intptr_t ArmedIn(DWORD slot) noexcept {
    DWORD lastError = ::GetLastError();
    auto count = reinterpret_cast<intptr_t>(::TlsGetValue(slot));
    ::SetLastError(lastError);
    return count;
}

void AddArmed(intptr_t delta) noexcept {
    DWORD slot = ArmedSlot();
    if (slot != TLS_OUT_OF_INDEXES) ::TlsSetValue(slot, reinterpret_cast<void*>(ArmedIn(slot) + delta));
}

// Before the error handler exists, a failure at a callback's edge is still shown.
void ShowPlainly() noexcept {
    ShowCriticalBox(L"Quorset", ErrorFromCurrentException());
}

std::atomic<Reporter> gReporter{&ShowPlainly};
}  // namespace

Armed::Armed() noexcept { AddArmed(1); }
Armed::~Armed() { AddArmed(-1); }
int Armed::Count() noexcept {
    DWORD slot = gArmedSlot.load(std::memory_order_acquire);
    return slot ? static_cast<int>(ArmedIn(slot - 1)) : 0;
}

void SetReporter(Reporter reporter) noexcept { gReporter = reporter ? reporter : &ShowPlainly; }
void ReportCaught() noexcept { gReporter.load()(); }

void ShowCriticalBox(std::wstring_view qualifiedName, const ErrorInfo& error) noexcept {
    try {
        MsgBox(CriticalBoxText(qualifiedName, error), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

void ShowShortBox(std::wstring_view procName, const ErrorInfo& error) noexcept {
    try {
        MsgBox(L"Error: " + text::NumberText(error.number) + L". " + error.description, MB_OK, std::wstring(procName));
    } catch (...) {
    }
}

}  // namespace frames

std::wstring CriticalBoxText(std::wstring_view qualifiedName, const ErrorInfo& error) {
    return L"An error has occured in " + std::wstring(qualifiedName) + L" \r\n\r\nError:" +
           text::NumberText(error.number) + L"\r\nDescription:" + error.description + L"\r\nLine:" +
           text::NumberText(error.line);
}

}  // namespace qs
