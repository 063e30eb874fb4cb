// The error report's lines: heading, error facts, the indented stack and the optional
// blocks.
#include <gtest/gtest.h>

#include "errors/ErrorReport.h"

using namespace qs;

namespace {

ReportFacts SampleFacts() {
    ReportFacts f;
    f.appTitle = L"Quorset";
    f.currentTime = L"05.12.2026 18:04:45";
    f.errorString = L"Overflow";
    f.errorNumber = 6;
    f.errorLine = 42;
    f.errorProc = L"frmConfigure.LoadData";
    f.stack = std::vector<std::wstring>(103);
    f.stack[1] = L"frmLaunch.mnuPopupConfigure_Click";
    f.stack[2] = L"frmConfigure.Initialize";
    f.stack[3] = L"frmConfigure.LoadData";
    f.currentDirectory = L"C:\\windows";
    f.title = L"Quorset";
    f.companyName = L"Brom";
    f.major = 1;
    f.minor = 2;
    f.revision = 3;
    f.path = L"C:\\Programs\\Quorset";
    f.productName = L"Quorset";
    return f;
}

TEST(ErrorReport, WritesEveryLineInOrder) {
    std::vector<std::wstring> expected{
        L"Quorset Application Error Information",
        L"====================================",
        L"Current Time   : 05.12.2026 18:04:45",
        L"Error String   : Overflow",
        L"Error Number   : 6",
        L"Error Line     : 42",
        L"Error Procedure: frmConfigure.LoadData",
        L"",
        L"Procedure Stack",
        L"---------------",
        L"01  frmLaunch.mnuPopupConfigure_Click",
        L"02    frmConfigure.Initialize",
        L"03      frmConfigure.LoadData",
        L"",
        L"",
        L"Additional Information",
        L"----------------------",
        L"Current Directory: C:\\windows",
        L"App Title: Quorset",
        L"App CompanyName: Brom",
        L"App Major: 1",
        L"App Minor: 2",
        L"App Revision: 3",
        L"App Path: C:\\Programs\\Quorset",
        L"App ProductName: Quorset",
    };
    EXPECT_EQ(ReportLines(SampleFacts()), expected);
}

TEST(ErrorReport, EmptyStackAndNoExpandedInfoEndWithTheEmptyLine) {
    ReportFacts f = SampleFacts();
    f.stack.assign(103, L"");
    f.errorProc.clear();
    f.errorNumber = -2147220504;
    f.includeExpandedInfo = false;
    auto lines = ReportLines(f);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[4], L"Error Number   : -2147220504");
    EXPECT_EQ(lines[6], L"Error Procedure: ");
    EXPECT_EQ(lines[9], L"---------------");
    EXPECT_EQ(lines[10], L"");
}

TEST(ErrorReport, CurrentOperationFollowsTheStackBlock) {
    ReportFacts f = SampleFacts();
    f.currentOperation = L"Saving";
    f.includeExpandedInfo = false;
    auto lines = ReportLines(f);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[13], L"");
    EXPECT_EQ(lines[14], L"Current Operation: Saving");
}

TEST(ErrorReport, CutsTheDescriptionAt255Characters) {
    ReportFacts f = SampleFacts();
    f.errorString = std::wstring(255, L'x') + std::wstring(45, L'y');
    EXPECT_EQ(ReportLines(f)[3], L"Error String   : " + std::wstring(255, L'x'));
}

TEST(ErrorReport, ListsEveryFilledSlotOfTheWholeArrayWithWideIndices) {
    ReportFacts f = SampleFacts();
    f.stack.assign(103, L"");
    f.stack[100] = L"deep";
    f.stack[102] = L"deeper";
    auto lines = ReportLines(f);
    EXPECT_EQ(lines[10], L"100" + std::wstring(200, L' ') + L"deep");
    EXPECT_EQ(lines[11], L"102" + std::wstring(204, L' ') + L"deeper");
    EXPECT_EQ(lines[12], L"");
}

}  // namespace
