// The procedure stack, the dispatch of handled errors and the local frames.
#include <gtest/gtest.h>

#include "Support.h"
#include "errors/Frames.h"
#include "text/Number.h"

using namespace qs;

namespace {

std::wstring N(int64_t v) { return text::NumberText(v); }

class ErrHandler : public test::HandlerTest {};

// The depth after a fault is the exception filter's test, the beep the listeners' table's.
TEST_F(ErrHandler, AFailureIsReportedOnceWithItsLineAndEveryCallerGoesOn) {
    std::vector<std::string> ran;
    int32_t line = 0;
    framed(L"frmConfigure.Initialize", [&] {
        framed(L"frmConfigure.LoadData", [&] {
            line = __LINE__ + 1;
            RaiseRuntime(errOverflow);
            ran.push_back("after the failure");
        });
        ran.push_back("Initialize goes on");
    });
    EXPECT_EQ(ran, std::vector<std::string>{"Initialize goes on"});
    EXPECT_EQ(notices.boxes, (test::Boxes{{L"The following error has occurred in procedure: \r\n"
                                           L"frmConfigure.LoadData on line " + N(line) + L"\r\nError (6) Overflow",
                                           L"Quorset", test::kCritical}}));
    EXPECT_EQ(CurrentError().number, 0) << "the frame clears the current error";
}

// A failure passed on to the caller is reported there: the settings' unreadable value,
// reported under their initialisation (AppSettingsTest).

// For other callers: the operation in progress is named under the error, in the message
// and the report, and the report may leave out the program's facts.
TEST_F(ErrHandler, AtDepthZeroTheProcedureLineStartsWithOnLineAndTheOperationFollows) {
    CurrentError() = ErrorInfo{-2147220504, L"x", L"Invalid object type: 3", 0};
    gErrHandler->CurrentOperation(L"Saving settings");
    gErrHandler->IncludeExpandedInfo(false);
    gErrHandler->HandleError();
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].prompt, L"The following error has occurred in procedure: \r\n on line 0\r\n"
                                       L"Error (-2147220504) Invalid object type: 3\r\nCurrent Operation: Saving settings");
    EXPECT_TRUE(test::ReadBytes(report).ends_with("---------------\r\n\r\nCurrent Operation: Saving settings\r\n"));
}

TEST_F(ErrHandler, TheStackStaysBalancedBeyondItsBoundAndTheBoundItself) {
    gErrHandler->MaxProcStackItems(2);
    for (int i = 1; i <= 5; ++i) gErrHandler->Push(L"P" + N(i));
    EXPECT_EQ(gErrHandler->Depth(), 5);
    for (int i = 0; i < 5; ++i) gErrHandler->Pop();
    EXPECT_EQ(gErrHandler->Depth(), 0);
    framed(L"Outer", [] { framed(L"Inner", [] { RaiseRuntime(errOverflow); }); });
    std::string written = test::ReadBytes(report);
    EXPECT_NE(written.find("---------------\r\n01  Outer\r\n02    Inner\r\n\r\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("P1"), std::string::npos) << "no stale names of the excursion";

    EXPECT_EQ(test::Raised([] { gErrHandler->MaxProcStackItems(32766); }).number, errOverflow) << "its array would overflow";
    EXPECT_EQ(gErrHandler->MaxProcStackItems(), 2);
}

// The operations for other callers, one row each: a listener that cancels keeps only the
// record; the quiet mode writes the report without a message or a beep; clearing removes
// the report, there or not.
TEST_F(ErrHandler, ListenersTheQuietModeAndClearingDecideWhatIsShownAndWritten) {
    bool cancel = false;
    int after = 0;
    gErrHandler->BeforeHandlerCalled.Subscribe([&](bool& c) { c = cancel; });
    gErrHandler->AfterHandlerCalled.Subscribe([&] { ++after; });
    const struct {
        bool cancel, display;
        size_t shown;
        bool written;
        int after;
    } rows[] = {{true, true, 0, false, 0}, {false, false, 0, true, 1}, {false, true, 1, true, 2}};
    for (const auto& row : rows) {
        notices.boxes.clear();
        notices.beeps = 0;
        EXPECT_TRUE(gErrHandler->ClearLog());
        EXPECT_FALSE(std::filesystem::exists(report));
        cancel = row.cancel;
        gErrHandler->DisplayMsgOnError(row.display);
        framed(L"modTest.Row", [] { RaiseRuntime(errPathNotFound); });
        EXPECT_EQ(notices.boxes.size(), row.shown) << row.cancel << row.display;
        EXPECT_EQ(notices.beeps, static_cast<int>(row.shown));
        EXPECT_EQ(std::filesystem::exists(report), row.written);
        EXPECT_EQ(after, row.after);
        EXPECT_EQ(gErrHandler->ErrorProc(), L"modTest.Row");
    }
    ErrorInfo raised = test::Raised([] { gErrHandler->Destination(Variant(int32_t{5})); });
    EXPECT_EQ(raised.number, -2147220504);
    EXPECT_EQ(raised.description, L"Invalid object type: 3") << "only a text names the report";
}

TEST_F(ErrHandler, TheTraceHoldsEachPushedName) {
    std::wstring trace = App::Path() + L"\\trace.log";
    gErrHandler->TraceExecution(true);
    framed(L"A.One", [] { framed(L"B.Two", [] { framed(L"C.Three", [] {}); }); });
    EXPECT_EQ(test::ReadBytes(trace), "\r\nA.One\r\nB.Two\r\nC.Three") << "readable while still open";
    gErrHandler->TraceExecution(false);
    framed(L"D.Four", [] {});
    gErrHandler.reset();
    EXPECT_EQ(test::ReadBytes(trace), "\r\nA.One\r\nB.Two\r\nC.Three");
    std::filesystem::remove(trace);
}

}  // namespace
