// The unhandled-exception filter. Windows calls it on the faulting thread; it rewrites
// the thread's context so that execution continues in a small stub which throws the
// program's error 10000 from the faulting instruction, where the innermost frame's
// catch receives it like any other error.
//
// The filter itself allocates nothing and throws nothing: it may run on a thread that
// faulted inside the heap or the C library. It reads only the thread's frame count and
// its own flag, both in thread-local storage slots of the system, and hands the
// exception code to the stub in a register; the error's text is made by the throwing
// function, which runs after the context is continued.
#include "errors/MExceptionHandler.h"

#include <cstdio>

#include "base/Error.h"
#include "base/Frames.h"
#include "errors/CrashDump.h"

extern "C" {
// Entered as if called from the faulting instruction, with the stack pointer 8 or 0
// modulo 16 and the exception code in ecx; both restore the alignment a call needs and
// call qs_ThrowProcessorError with that code.
void qs_ProcessorErrorStubRsp8();
void qs_ProcessorErrorStubRsp0();
[[noreturn]] void qs_ThrowProcessorError(DWORD code);
}

namespace qs::MExceptionHandler {
namespace {

bool gFilterInstalled = false;

constexpr DWORD kGccThrow = 0x20474343;  // a C++ exception of this program, not the processor's

// The stack a stack overflow leaves for its handling: the filter, the throw and the
// unwind to the frame, and the report when that frame lies near the stack's end. The
// installing thread's usable stack is that much shorter.
constexpr ULONG kStackGuarantee = 64 * 1024;

// Per thread: set while a redirected exception is on its way to its frame, so that a
// fault in the filter or in the throw it arranged is not redirected again. Cleared
// when the frame that took the error is done with it. The slot is taken at static
// initialisation, and the install writes it once, so that a slot beyond the thread's
// own 64 has its storage before the filter writes it; without a slot nothing is
// redirected.
const DWORD gDeliverySlot = ::TlsAlloc();

// The code of the exception on its way, 0 when none is.
DWORD Delivering() noexcept {
    if (gDeliverySlot == TLS_OUT_OF_INDEXES) return EXCEPTION_NONCONTINUABLE_EXCEPTION;
    DWORD lastError = ::GetLastError();
    auto code = static_cast<DWORD>(reinterpret_cast<uintptr_t>(::TlsGetValue(gDeliverySlot)));
    ::SetLastError(lastError);
    return code;
}

void Delivering(DWORD code) noexcept {
    if (gDeliverySlot != TLS_OUT_OF_INDEXES) ::TlsSetValue(gDeliverySlot, reinterpret_cast<void*>(uintptr_t{code}));
}

// The guard page below a thread's committed stack is what turns running out of stack
// into an exception; reaching it with the guarantee's room still below raises the stack
// overflow. Makes `guard` that page if it is committed stack below the caller and not
// one of the two last pages, which stay out of reach.
void ArmStackGuard(ULONG_PTR guard, ULONG_PTR page) noexcept {
    ULONG_PTR low = 0, high = 0;
    ::GetCurrentThreadStackLimits(&low, &high);
    volatile char here = 0;
    if (guard < low + 2 * page || guard + page > reinterpret_cast<ULONG_PTR>(&here)) return;
    MEMORY_BASIC_INFORMATION region;
    if (!::VirtualQuery(reinterpret_cast<void*>(guard), &region, sizeof region) || region.State != MEM_COMMIT ||
        (region.Protect & PAGE_GUARD))
        return;
    DWORD previous;
    ::VirtualProtect(reinterpret_cast<void*>(guard), page, PAGE_READWRITE | PAGE_GUARD, &previous);
}

ULONG_PTR PageSize() noexcept {
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    return system.dwPageSize;
}

// A stack overflow used up the guard page, and without one the next overflow ends the
// process with no exception at all. Once the stack is unwound to the frame that took
// the error, the page below the one the stack pointer is in becomes the guard page
// again; the system moves it down as the stack grows, as before.
void RestoreStackGuard() noexcept {
    const ULONG_PTR page = PageSize();
    volatile char here = 0;
    ArmStackGuard((reinterpret_cast<ULONG_PTR>(&here) & ~(page - 1)) - page, page);
}

// A stack committed in full from the start has no guard page short of its very end, so
// its overflow leaves no room for handling it; a guard page at the guarantee's distance
// from the end leaves that room. (Where the system commits the stack as it grows, that
// page is not committed yet and nothing changes.)
void GuardStackEnd(ULONG guarantee) noexcept {
    const ULONG_PTR page = PageSize();
    ULONG_PTR low = 0, high = 0;
    ::GetCurrentThreadStackLimits(&low, &high);
    ArmStackGuard(low + 2 * page + ((guarantee + page - 1) & ~(page - 1)), page);
}

// The error the stub throws. The last catch that holds it is done with it after the
// unwind, with the stack back at that frame: there the guard page can come back and
// the thread is ready for its next processor exception.
class ProcessorError final : public Error {
public:
    explicit ProcessorError(std::wstring name)
        : Error(ErrorInfo{errProcessorException, L"ExceptionHandler", std::move(name), 0}) {}
    ProcessorError(const ProcessorError&) = default;  // required by the throw, never used
    ~ProcessorError() override { ErrorDelivered(); }
};

// Windows reports SSE faults of some systems as "multiple traps"; the status flags that
// are unmasked in MXCSR tell which fault it was.
DWORD SseExceptionCode(DWORD code, const CONTEXT& context) {
    if (code != STATUS_FLOAT_MULTIPLE_TRAPS && code != STATUS_FLOAT_MULTIPLE_FAULTS) return code;
    DWORD raised = context.MxCsr & ~(context.MxCsr >> 7) & 0x3F;
    if (raised & 0x01) return EXCEPTION_FLT_INVALID_OPERATION;
    if (raised & 0x04) return EXCEPTION_FLT_DIVIDE_BY_ZERO;
    if (raised & 0x02) return EXCEPTION_FLT_DENORMAL_OPERAND;
    if (raised & 0x08) return EXCEPTION_FLT_OVERFLOW;
    if (raised & 0x10) return EXCEPTION_FLT_UNDERFLOW;
    if (raised & 0x20) return EXCEPTION_FLT_INEXACT_RESULT;
    return code;
}

// Faults the processor raises report the faulting instruction itself; exceptions raised
// by software report the return address of the raising call.
bool RaisedByProcessor(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: case EXCEPTION_DATATYPE_MISALIGNMENT: case EXCEPTION_BREAKPOINT:
    case EXCEPTION_SINGLE_STEP: case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO: case EXCEPTION_FLT_INEXACT_RESULT: case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW: case EXCEPTION_FLT_STACK_CHECK: case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_INT_DIVIDE_BY_ZERO: case EXCEPTION_INT_OVERFLOW: case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR: case EXCEPTION_ILLEGAL_INSTRUCTION: case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_GUARD_PAGE: case STATUS_FLOAT_MULTIPLE_FAULTS: case STATUS_FLOAT_MULTIPLE_TRAPS:
        return true;
    default:
        return false;
    }
}

// The return address the stub is given, as if the interrupted instruction had called it:
// the unwinder takes it for the place in the faulting function where the unwind starts.
// It undoes those of the prologue's steps whose instructions end at or before that
// address, and the C++ unwinder looks up the byte before it for the instruction's
// handlers. In the body, where the prologue is complete, a fault is therefore placed one
// byte into its own instruction. In the prologue no handler of the function applies yet,
// and the faulting instruction itself is the address: one byte on would count a one-byte
// push as done (where stack overflows often fault) and read the caller's return address
// one slot off. That holds at the function's first instruction too, whose address the
// function's own entry covers. An exception raised by software already reports the
// return address of the raising call.
DWORD64 ContinuationAddress(DWORD64 rip, bool fault) noexcept {
    if (!fault) return rip;
    DWORD64 base = 0;
    const RUNTIME_FUNCTION* function = ::RtlLookupFunctionEntry(rip, &base, nullptr);
    if (function) {
        // The unwind information's second byte is the prologue's size.
        auto prologue = reinterpret_cast<const BYTE*>(base + function->UnwindData)[1];
        if (rip - (base + function->BeginAddress) < prologue) return rip;
    }
    return rip + 1;
}

}  // namespace

void ErrorDelivered() noexcept {
    DWORD code = Delivering();
    if (!code) return;
    if (code == EXCEPTION_STACK_OVERFLOW) RestoreStackGuard();
    Delivering(0);
}

void InstallExceptionFilter() {
    if (gFilterInstalled) return;
    ignoring([] {
        ::SetUnhandledExceptionFilter(&ExceptionHandler);
        // Room for the filter and the throw when this thread's stack overflows.
        ULONG guarantee = kStackGuarantee;
        ::SetThreadStackGuarantee(&guarantee);
        GuardStackEnd(kStackGuarantee);
        Delivering(0);
    });
    gFilterInstalled = true;
}

void RemoveExceptionFilter() {
    if (!gFilterInstalled) return;
    ignoring([] { ::SetUnhandledExceptionFilter(nullptr); });
    gFilterInstalled = false;
}

std::wstring GetExceptionName(uint32_t code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return L"Access Violation";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return L"Data Type Misalignment";
    case EXCEPTION_BREAKPOINT: return L"Breakpoint";
    case EXCEPTION_SINGLE_STEP: return L"Single Step";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return L"Array Bounds Exceeded";
    case EXCEPTION_FLT_DENORMAL_OPERAND: return L"Float Denormal Operand";
    case EXCEPTION_FLT_DIVIDE_BY_ZERO: return L"Divide By Zero";
    case EXCEPTION_FLT_INEXACT_RESULT: return L"Floating Point Inexact Result";
    case EXCEPTION_FLT_INVALID_OPERATION: return L"Invalid Operation";
    case EXCEPTION_FLT_OVERFLOW: return L"Float Overflow";
    case EXCEPTION_FLT_STACK_CHECK: return L"Float Stack Check";
    case EXCEPTION_FLT_UNDERFLOW: return L"Float Underflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return L"Integer Divide By Zero";
    case EXCEPTION_INT_OVERFLOW: return L"Integer Overflow";
    case EXCEPTION_PRIV_INSTRUCTION: return L"Privileged Instruction";
    case EXCEPTION_IN_PAGE_ERROR: return L"In Page Error";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return L"Illegal Instruction";
    case EXCEPTION_NONCONTINUABLE_EXCEPTION: return L"Non Continuable Exception";
    case EXCEPTION_STACK_OVERFLOW: return L"Stack Overflow";
    case EXCEPTION_INVALID_DISPOSITION: return L"Invalid Disposition";
    case EXCEPTION_GUARD_PAGE: return L"Guard Page Violation";
    case EXCEPTION_INVALID_HANDLE: return L"Invalid Handle";
    case CONTROL_C_EXIT: return L"Control-C Exit";
    default: {
        wchar_t digits[16];  // the system's own formatting: the C library's wide one costs 10 KiB
        ::wsprintfW(digits, L"%08X", static_cast<unsigned>(code));
        return L"Unknown (&H" + std::wstring(digits) + L")";
    }
    }
}

LONG WINAPI ExceptionHandler(EXCEPTION_POINTERS* information) {
    // One of the program's own C++ throws is none of the filter's business.
    const EXCEPTION_RECORD* record = information ? information->ExceptionRecord : nullptr;
    if (!record || record->ExceptionCode == kGccThrow) return EXCEPTION_CONTINUE_SEARCH;
    // Nothing to deliver to: no frame on this thread would catch the error, or the
    // exception cannot be continued, or (one at a time) an earlier one has not reached
    // its frame yet. The platform's handling ends the process; the dump is what is left.
    if (frames::Armed::Count() == 0 || (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE) || Delivering()) {
        CrashDump::Write(information);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    Delivering(record->ExceptionCode);

    bool fault = RaisedByProcessor(record->ExceptionCode);
    // The last record of a chain names the exception.
    while (record->ExceptionRecord) record = record->ExceptionRecord;
    CONTEXT& context = *information->ContextRecord;
    context.Rcx = SseExceptionCode(record->ExceptionCode, context);

    // Clear the floating-point status so that the next instruction does not fault again.
    context.MxCsr &= ~0x3Fu;
    context.FltSave.MxCsr &= ~0x3Fu;
    context.FltSave.StatusWord &= static_cast<WORD>(~0x00FF);

    // Continue as if the interrupted code had called the stub.
    context.Rsp -= 8;
    *reinterpret_cast<DWORD64*>(context.Rsp) = ContinuationAddress(context.Rip, fault);
    context.Rip = (context.Rsp & 15) == 8 ? reinterpret_cast<DWORD64>(&qs_ProcessorErrorStubRsp8)
                                          : reinterpret_cast<DWORD64>(&qs_ProcessorErrorStubRsp0);
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace qs::MExceptionHandler

// Runs on the faulting thread once the filter has returned, in place of the faulting
// instruction: an ordinary function, free to allocate.
extern "C" void qs_ThrowProcessorError(DWORD code) {
    using namespace qs::MExceptionHandler;
    std::wstring name;
    try {
        name = GetExceptionName(code);
    } catch (...) {
        // Out of memory: the error goes without its text rather than not at all.
    }
    throw ProcessorError(std::move(name));
}
