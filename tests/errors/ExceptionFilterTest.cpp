// Processor exceptions become the program's error 10000, reported by the innermost
// frame, and the program goes on.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include "Support.h"
#include "errors/CrashDump.h"
#include "errors/Frames.h"
#include "errors/MExceptionHandler.h"

using namespace qs;
using namespace qs::MExceptionHandler;
using namespace qs::test;

extern "C" __declspec(dllimport) void WINAPI RtlRaiseException(EXCEPTION_RECORD*);

namespace {

// Faulting functions (Recurse never ends: it overflows the stack); their results go to
// volatile sinks so that the optimiser keeps every faulting instruction.
volatile int gSink;
volatile double gFloatSink;
__attribute__((noinline)) void ReadThrough(int* volatile* p) { gSink = **p; }
__attribute__((noinline)) void Divide(int a, volatile int* b) { gSink = a / *b; }
__attribute__((noinline)) void DivideFloat(double a, volatile double* b) { gFloatSink = a / *b; }
volatile int gZero = 0;
// (It reads through a pointer, which may fault, so that the compiler lets its calls throw.)
__attribute__((noinline)) int Recurse(volatile int* caller) {
    volatile int frame[64];
    frame[0] = *caller;
    return gZero ? 0 : Recurse(frame) + frame[1];
}

// A function whose prologue is two one-byte pushes and an allocation that makes each of
// its frames one page; called with its return address `offset` bytes into a page, it
// recurses until the stack overflows, and the first write into every new page is the same
// instruction: its first push (offset 0), its second (8), or a write in its body (16).
// Its lowest slot holds an address in a function with a frame pointer: the slot that an
// unwind one push off would take for the caller's return address, as stale stack
// contents would be. (A zero there would not tell: Wine walks on past it.)
extern "C" void qs_test_Pushes();
extern "C" void qs_test_OverflowAt(DWORD64 offset);
asm(R"(
    .text
    .def qs_test_Pushes; .scl 2; .type 32; .endef
    .seh_proc qs_test_Pushes
qs_test_Pushes:
    push %rbp
    .seh_pushreg %rbp
    push %rbx
    .seh_pushreg %rbx
    sub $4072, %rsp
    .seh_stackalloc 4072
    .seh_endprologue
    lea qs_test_AfterCall(%rip), %rax
    mov %rax, (%rsp)
    call qs_test_Pushes
    nop
    add $4072, %rsp
    pop %rbx
    pop %rbp
    ret
    .seh_endproc

    .def qs_test_OverflowAt; .scl 2; .type 32; .endef
    .seh_proc qs_test_OverflowAt
qs_test_OverflowAt:
    push %rbp
    .seh_pushreg %rbp
    mov %rsp, %rbp
    .seh_setframe %rbp, 0
    .seh_endprologue
    sub $8192, %rsp
    and $-4096, %rsp
    lea 8(%rsp,%rcx), %rsp
    call qs_test_Pushes
qs_test_AfterCall:
    nop
    mov %rbp, %rsp
    pop %rbp
    ret
    .seh_endproc
)");

int* volatile gNull = nullptr;
volatile double gZeroFloat = 0;

// A fault handed to the filter as the system hands it: at `rip`, on a stack of four slots.
struct Fault {
    DWORD64 stack[4]{};
    CONTEXT context{};
    LONG Filter(DWORD code, DWORD64 rip) {
        EXCEPTION_RECORD record{code};
        context.Rip = rip;
        context.Rsp = reinterpret_cast<DWORD64>(&stack[4]);
        EXCEPTION_POINTERS pointers{&record, &context};
        return ExceptionHandler(&pointers);
    }
};

class ExceptionFilter : public HandlerTest {
protected:
    // The program writes the dumps, into the scratch folder's CrashDumps.
    void SetUp() override {
        HandlerTest::SetUp();
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", folder.Path().c_str());
        CrashDump::Writer(App::Path() + L"\\Quorset.exe");
        InstallExceptionFilter();
    }
    void TearDown() override {
        RemoveExceptionFilter();
        CrashDump::Writer(L"");
        HandlerTest::TearDown();
    }
    std::filesystem::path dumps = folder.Path() / L"CrashDumps";

    // Runs `fault` in a framed procedure and checks the report of error 10000.
    void ExpectReported(const wchar_t* name, auto fault) {
        notices.boxes.clear();
        bool callerWentOn = false;
        framed(L"modTest.Outer", [&] {
            framed(L"modTest.Faulting", [&] { fault(); });
            callerWentOn = true;
        });
        EXPECT_TRUE(callerWentOn);
        EXPECT_EQ(gErrHandler->Depth(), 0);
        ASSERT_EQ(notices.boxes.size(), 1u);
        EXPECT_EQ(notices.boxes[0].prompt, L"The following error has occurred in procedure: \r\n"
                                           L"modTest.Faulting on line 0\r\nError (10000) " + std::wstring(name));
    }
};

TEST_F(ExceptionFilter, ProcessorExceptionsInAFramedProcedureAreReported) {
    ExpectReported(L"Access Violation", [] { ReadThrough(&gNull); });
    ExpectReported(L"Integer Divide By Zero", [] { Divide(1, &gZero); });

    unsigned csr = _mm_getcsr();
    _mm_setcsr(csr & ~_MM_MASK_DIV_ZERO);
    ExpectReported(L"Divide By Zero", [] { DivideFloat(1.0, &gZeroFloat); });
    _mm_setcsr(csr);
    ExpectReported(L"Stack Overflow", [] { Recurse(&gSink); });
    EXPECT_TRUE(DumpsIn(dumps).empty()) << "a fault that a frame takes leaves no crash dump";
}

// The unwind from the stub starts at the address the filter gives it: in the prologue
// the faulting instruction itself, so that only the steps that were done are undone; in
// the body one byte into it, where the C++ unwinder finds the instruction's handlers.
TEST_F(ExceptionFilter, AnOverflowInAPrologueUndoesOnlyThePushesThatWereDone) {
    const auto start = reinterpret_cast<DWORD64>(&qs_test_Pushes);
    // The first push, the second, the allocation, the body (the prologue is 9 bytes).
    for (auto [at, seen] : {std::pair{0, 0}, {1, 1}, {2, 2}, {9, 10}}) {
        Fault fault;
        ignoring([&] { EXPECT_EQ(fault.Filter(EXCEPTION_STACK_OVERFLOW, start + at), EXCEPTION_CONTINUE_EXECUTION); });
        ErrorDelivered();
        EXPECT_EQ(fault.stack[3], start + seen) << "a fault at offset " << at;
    }
    // Three overflows in a row: each is raised only if the guard page came back after the last.
    for (DWORD64 offset : {0, 8, 16}) ExpectReported(L"Stack Overflow", [=] { qs_test_OverflowAt(offset); });
}

TEST_F(ExceptionFilter, TheLastRecordOfAChainNamesTheException) {
    EXCEPTION_RECORD inner{EXCEPTION_INT_DIVIDE_BY_ZERO}, middle{0xE06D7363, 0, &inner}, outer{0xE0000001, 0, &middle};
    ExpectReported(L"Integer Divide By Zero", [&] { RtlRaiseException(&outer); });
    EXCEPTION_RECORD single{0xE06D7363};
    ExpectReported(L"Unknown (&HE06D7363)", [&] { RtlRaiseException(&single); });
}

// A fault while an error is on its way to its frame (here: in a destructor the unwind
// runs) is the platform's to handle, and leaves a dump; once the frame has the error,
// the next is reported. Without any frame the filter leaves a fault alone as well: seen
// end to end, where such a fault ends the program and leaves its dump.
TEST_F(ExceptionFilter, ASecondFaultBeforeTheFirstIsDeliveredIsLeftAlone) {
    static bool leftAlone;
    struct DuringTheUnwind {
        ~DuringTheUnwind() {
            Fault fault;  // left alone: no verdict of its own, the context as it was
            leftAlone = fault.Filter(EXCEPTION_ACCESS_VIOLATION, 0x1234) == EXCEPTION_CONTINUE_SEARCH &&
                        fault.context.Rip == 0x1234;
        }
    };
    ExpectReported(L"Access Violation", [] {
        DuringTheUnwind probe;
        ReadThrough(&gNull);
    });
    EXPECT_TRUE(leftAlone);
    EXPECT_EQ(DumpsIn(dumps).size(), 1u) << "the platform would end the process: its crash dump";
    ExpectReported(L"Integer Divide By Zero", [] { Divide(1, &gZero); });
}

// Inside a window procedure, as the forms' handlers run: tests/toolkit.

}  // namespace
