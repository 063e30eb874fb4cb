// Processor exceptions become the program's error 10000, reported by the innermost
// frame, and the program goes on.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include "Support.h"
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

int* volatile gNull = nullptr;
volatile double gZeroFloat = 0;

class ExceptionFilter : public HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        InstallExceptionFilter();
    }
    void TearDown() override {
        RemoveExceptionFilter();
        HandlerTest::TearDown();
    }

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
        EXPECT_EQ(gErrHandler->ErrorNumber(), 10000);
        EXPECT_EQ(gErrHandler->ErrorString(), name);
        EXPECT_EQ(gErrHandler->ErrorProc(), L"modTest.Faulting");
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

    // And the same faults again: nothing was left behind by the first ones. The second
    // stack overflow is raised only if the first one's guard page came back.
    ExpectReported(L"Access Violation", [] { ReadThrough(&gNull); });
    ExpectReported(L"Stack Overflow", [] { Recurse(&gSink); });
    ExpectReported(L"Stack Overflow", [] { Recurse(&gSink); });
    EXPECT_TRUE(DumpsIn(folder.Path()).empty()) << "a fault that a frame takes leaves no crash dump";
}

TEST_F(ExceptionFilter, TheIgnoreRegimeSkipsAFaultingStatement) {
    ignoring([] { Divide(1, &gZero); });
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(ExceptionFilter, TheLastRecordOfAChainNamesTheException) {
    EXCEPTION_RECORD inner{EXCEPTION_INT_DIVIDE_BY_ZERO}, middle{0xE06D7363, 0, &inner}, outer{0xE0000001, 0, &middle};
    ExpectReported(L"Integer Divide By Zero", [&] { RtlRaiseException(&outer); });
    EXCEPTION_RECORD single{0xE06D7363};
    ExpectReported(L"Unknown (&HE06D7363)", [&] { RtlRaiseException(&single); });
    for (auto [code, name] : {std::pair{0x00000001u, L"Unknown (&H00000001)"}, {0xFFFFFFFFu, L"Unknown (&HFFFFFFFF)"}})
        EXPECT_EQ(GetExceptionName(code), name);
}

// Whether the filter leaves an access violation alone: no verdict of its own, the
// context as it was.
bool FilterLeavesAlone() {
    DWORD64 stack[4]{};
    EXCEPTION_RECORD record{EXCEPTION_ACCESS_VIOLATION};
    CONTEXT context{};
    context.Rip = 0x1234;
    context.Rsp = reinterpret_cast<DWORD64>(&stack[4]);
    EXCEPTION_POINTERS pointers{&record, &context};
    return ExceptionHandler(&pointers) == EXCEPTION_CONTINUE_SEARCH && context.Rip == 0x1234;
}

TEST_F(ExceptionFilter, WithoutAFrameToReceiveItTheFilterLeavesTheExceptionAlone) {
    EXPECT_TRUE(FilterLeavesAlone());
}

// A fault while an error is on its way to its frame (here: in a destructor the unwind
// runs) is the platform's to handle, and leaves a dump; once the frame has the error,
// the next is reported.
TEST_F(ExceptionFilter, ASecondFaultBeforeTheFirstIsDeliveredIsLeftAlone) {
    static bool leftAlone;
    struct DuringTheUnwind {
        ~DuringTheUnwind() { leftAlone = FilterLeavesAlone(); }
    };
    ExpectReported(L"Access Violation", [] {
        DuringTheUnwind probe;
        ReadThrough(&gNull);
    });
    EXPECT_TRUE(leftAlone);
    EXPECT_EQ(DumpsIn(folder.Path()).size(), 1u) << "the platform would end the process: its crash dump";
    ExpectReported(L"Integer Divide By Zero", [] { Divide(1, &gZero); });

    // Once the frame has it, a fault while it is being reported is reported in turn.
    bool first = true;
    auto token = gErrHandler->BeforeHandlerCalled.Subscribe([&](bool&) {
        if (std::exchange(first, false)) framed(L"modTest.WhileReporting", [] { Divide(1, &gZero); });
    });
    notices.boxes.clear();
    framed(L"modTest.Faulting", [] { ReadThrough(&gNull); });
    EXPECT_EQ(notices.boxes.size(), 2u);
    gErrHandler->BeforeHandlerCalled.Unsubscribe(token);
}

LONG WINAPI SentinelFilter(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }
LONG WINAPI OtherSentinel(EXCEPTION_POINTERS*) { return EXCEPTION_CONTINUE_SEARCH; }

TEST(ExceptionFilterRegistration, InstallsOnceAndRemovesOnlyWhatItInstalled) {
    ::SetUnhandledExceptionFilter(&SentinelFilter);
    InstallExceptionFilter();
    EXPECT_TRUE(FilterInstalled());
    EXPECT_EQ(::SetUnhandledExceptionFilter(&OtherSentinel), &ExceptionHandler);
    InstallExceptionFilter();  // already installed: registers nothing
    EXPECT_EQ(::SetUnhandledExceptionFilter(&OtherSentinel), &OtherSentinel);
    RemoveExceptionFilter();
    EXPECT_FALSE(FilterInstalled());
    EXPECT_EQ(::SetUnhandledExceptionFilter(&SentinelFilter), nullptr) << "removing restores no earlier filter";
    RemoveExceptionFilter();  // not installed: calls nothing
    EXPECT_EQ(::SetUnhandledExceptionFilter(nullptr), &SentinelFilter);
}

// Inside a window procedure, as the forms' handlers run: tests/toolkit.

}  // namespace
