// The procedure stack, the dispatch of handled errors and the local frames.
#include <gtest/gtest.h>

#include "Support.h"
#include "errors/Frames.h"
#include "text/Number.h"

using namespace qs;
using qs::test::HandlerTest;

namespace {

std::wstring N(int64_t v) { return text::NumberText(v); }

class ErrHandler : public HandlerTest {};

TEST_F(ErrHandler, AFailureThreeLevelsDeepIsReportedOnceAndEveryCallerGoesOn) {
    std::vector<std::string> ran;
    int32_t line = 0;
    framed(L"frmLaunch.mnuPopupConfigure_Click", [&] {
        framed(L"frmConfigure.Initialize", [&] {
            framed(L"frmConfigure.LoadData", [&] {
                line = __LINE__ + 1;
                RaiseRuntime(errOverflow);
                ran.push_back("after the failure");
            });
            ran.push_back("Initialize goes on");
            EXPECT_EQ(gErrHandler->Depth(), 2);
        });
        ran.push_back("Click goes on");
    });
    EXPECT_EQ(ran, (std::vector<std::string>{"Initialize goes on", "Click goes on"}));
    EXPECT_EQ(gErrHandler->Depth(), 0);

    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.beeps, 1);
    EXPECT_EQ(notices.boxes[0].prompt, L"The following error has occurred in procedure: \r\n"
                                       L"frmConfigure.LoadData on line " + N(line) + L"\r\n"
                                       L"Error (6) Overflow");
    EXPECT_EQ(notices.boxes[0].title, L"Quorset");
    EXPECT_EQ(notices.boxes[0].style, unsigned(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(gErrHandler->ErrorNumber(), 6);
    EXPECT_EQ(gErrHandler->ErrorLine(), line);
    EXPECT_EQ(gErrHandler->ErrorString(), L"Overflow");
    EXPECT_EQ(gErrHandler->ErrorProc(), L"frmConfigure.LoadData");
    EXPECT_EQ(CurrentError().number, 0) << "the frame clears the current error";
}

TEST_F(ErrHandler, AReRaisedFailureIsReportedUnderTheCallingFrame) {
    auto settingsMethod = [] { return reraise([]() -> bool { RaiseRuntime(errTypeMismatch); }); };
    framed(L"frmConfigure.ApplySettings", [&] { settingsMethod(); });
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(gErrHandler->ErrorProc(), L"frmConfigure.ApplySettings");
    EXPECT_EQ(gErrHandler->ErrorNumber(), 13);
}

TEST_F(ErrHandler, AFunctionKeepsTheResultItHadReached) {
    auto function = [] {
        int result = 0;
        framed(L"modTest.Function", [&] {
            result = 7;
            RaiseRuntime(errDivisionByZero);
            result = 8;
        });
        return result;
    };
    EXPECT_EQ(function(), 7);
}

TEST_F(ErrHandler, AtDepthZeroTheProcedureLineStartsWithOnLine) {
    CurrentError() = ErrorInfo{-2147220504, L"x", L"Invalid object type: 3", 0};
    gErrHandler->CurrentOperation(L"Saving settings");
    gErrHandler->HandleError();
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].prompt, L"The following error has occurred in procedure: \r\n"
                                       L" on line 0\r\n"
                                       L"Error (-2147220504) Invalid object type: 3\r\n"
                                       L"Current Operation: Saving settings");
}

TEST_F(ErrHandler, PopsNeverGoBelowZeroAndPushesBeyondTheBoundStayBalanced) {
    gErrHandler->Pop();
    EXPECT_EQ(gErrHandler->Depth(), 0);

    gErrHandler->MaxProcStackItems(2);
    for (int i = 1; i <= 5; ++i) gErrHandler->Push(L"P" + N(i));
    EXPECT_EQ(gErrHandler->Depth(), 5);
    for (int i = 0; i < 5; ++i) gErrHandler->Pop();
    EXPECT_EQ(gErrHandler->Depth(), 0);

    // After the excursion only what is pushed now is on the stack.
    framed(L"Outer", [] { framed(L"Inner", [] { RaiseRuntime(errOverflow); }); });
    EXPECT_EQ(gErrHandler->ErrorProc(), L"Inner");
    std::string written = test::ReadBytes(report);
    EXPECT_NE(written.find("---------------\r\n01  Outer\r\n02    Inner\r\n\r\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("P1"), std::string::npos) << "no stale names of the excursion";
}

TEST_F(ErrHandler, MaxProcStackItemsRejectsABoundWhoseArrayWouldOverflow) {
    gErrHandler->Push(L"Kept");
    try {
        gErrHandler->MaxProcStackItems(32766);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errOverflow);
    }
    EXPECT_EQ(gErrHandler->MaxProcStackItems(), 100);
    gErrHandler->MaxProcStackItems(32765);
    EXPECT_EQ(gErrHandler->MaxProcStackItems(), 32765);
    EXPECT_EQ(gErrHandler->Depth(), 1) << "the depth is unchanged";
}

TEST_F(ErrHandler, DestinationAcceptsOnlyText) {
    for (auto [value, type] : {std::pair{Variant(int32_t{5}), 3}, {Variant(int16_t{5}), 2}, {Variant(true), 11},
                               {Variant(), 0}, {Variant(1.5), 5}}) {
        try {
            gErrHandler->Destination(value);
            FAIL() << "accepted type " << type;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), -2147220504);
            EXPECT_EQ(e.description(), L"Invalid object type: " + N(type));
        }
    }
    EXPECT_EQ(std::get<std::wstring>(gErrHandler->Destination()), report);
    gErrHandler->Destination(Variant(std::wstring(L"Q:\\nowhere\\log.txt")));
    EXPECT_EQ(std::get<std::wstring>(gErrHandler->Destination()), L"Q:\\nowhere\\log.txt");
}

TEST_F(ErrHandler, ClearLogDeletesTheReportAndToleratesAMissingOne) {
    test::WriteBytes(report, "old");
    EXPECT_TRUE(gErrHandler->ClearLog());
    EXPECT_FALSE(std::filesystem::exists(report));
    EXPECT_TRUE(gErrHandler->ClearLog());
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(ErrHandler, WithoutMessagesTheReportIsWrittenAndTheAfterEventStillRaised) {
    gErrHandler->DisplayMsgOnError(false);
    int after = 0;
    gErrHandler->AfterHandlerCalled.Subscribe([&] { ++after; });
    framed(L"modTest.Quiet", [] { RaiseRuntime(errFileNotFound); });
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(notices.beeps, 0);
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(std::filesystem::exists(report));
}

TEST_F(ErrHandler, ACancellingListenerSuppressesEverythingButTheRecord) {
    gErrHandler->AppTitle(L"");
    std::vector<std::string> events;
    auto token = gErrHandler->BeforeHandlerCalled.Subscribe([&](bool& cancel) {
        events.push_back(cancel ? "cancel on entry" : "before");
        cancel = true;
    });
    gErrHandler->AfterHandlerCalled.Subscribe([&] { events.push_back("after"); });
    framed(L"modTest.Cancelled", [] { RaiseRuntime(errPathNotFound); });

    EXPECT_EQ(events, std::vector<std::string>{"before"});
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(notices.beeps, 0);
    EXPECT_FALSE(std::filesystem::exists(report));
    EXPECT_EQ(gErrHandler->ErrorNumber(), 76);
    EXPECT_EQ(gErrHandler->ErrorProc(), L"modTest.Cancelled");
    EXPECT_EQ(gErrHandler->AppTitle(), L"Quorset") << "filled from the program's title";

    gErrHandler->BeforeHandlerCalled.Unsubscribe(token);
    framed(L"modTest.Handled", [] { RaiseRuntime(errPathNotFound); });
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(notices.boxes.size(), 1u);
}

TEST_F(ErrHandler, TraceHoldsALineBreakBeforeEachPushedNameAndNothingForPops) {
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

TEST_F(ErrHandler, ATraceThatCannotBeOpenedShowsTheShortBoxAndPushesReportTheWriteFailure) {
    std::filesystem::path blocker = App::Path() + L"\\trace.log";
    std::filesystem::create_directory(blocker);
    gErrHandler->TraceExecution(true);
    EXPECT_TRUE(gErrHandler->TraceExecution()) << "the flag stays set";
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].title, L"TraceExecution");
    EXPECT_EQ(notices.boxes[0].prompt, L"Error: 75. Path/File access error");
    EXPECT_EQ(notices.boxes[0].style, unsigned(MB_OK));

    framed(L"modTest.Traced", [] {});
    EXPECT_EQ(gErrHandler->ErrorNumber(), errBadFileNameOrNumber);
    EXPECT_EQ(gErrHandler->ErrorProc(), L"modTest.Traced") << "the name was on the stack";
    EXPECT_EQ(gErrHandler->Depth(), 0) << "and the frame popped it again";
    std::filesystem::remove(blocker);
}

}  // namespace
