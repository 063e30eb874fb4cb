// The error report's lines: heading, error facts, the indented stack and the program's
// facts. The report without them, its stack empty, is ErrHandlerTest's.
#include <gtest/gtest.h>

#include "errors/ErrorReport.h"

using namespace qs;

namespace {

TEST(ErrorReport, WritesEveryLineInOrder) {
    std::vector<std::wstring> expected{
        L"Quorset Application Error Information", L"====================================",
        L"Current Time   : 05.12.2026 18:04:45", L"Error String   : Overflow", L"Error Number   : 6",
        L"Error Line     : 42", L"Error Procedure: frmConfigure.LoadData", L"", L"Procedure Stack", L"---------------",
        L"01  frmLaunch.mnuPopupConfigure_Click", L"02    frmConfigure.Initialize", L"03      frmConfigure.LoadData",
        L"", L"", L"Additional Information", L"----------------------", L"Current Directory: C:\\windows",
        L"App Title: Quorset", L"App CompanyName: Brom", L"App Major: 1", L"App Minor: 2", L"App Revision: 3",
        L"App Path: C:\\Programs\\Quorset", L"App ProductName: Quorset",
    };
    ReportFacts facts{L"Quorset", L"05.12.2026 18:04:45", L"Overflow", 6, 42, L"frmConfigure.LoadData",
                      std::vector<std::wstring>(103), L"", true, L"C:\\windows", L"Quorset", L"Brom", 1, 2, 3,
                      L"C:\\Programs\\Quorset", L"Quorset"};
    facts.stack[1] = L"frmLaunch.mnuPopupConfigure_Click";
    facts.stack[2] = L"frmConfigure.Initialize";
    facts.stack[3] = L"frmConfigure.LoadData";
    EXPECT_EQ(ReportLines(facts), expected);
}

}  // namespace
