// The error report's lines: heading, error facts, the indented stack and the optional
// blocks.
#include <gtest/gtest.h>

#include "errors/ErrorReport.h"

using namespace qs;

namespace {

ReportFacts Facts(std::vector<std::pair<size_t, std::wstring>> stack, bool expanded = true) {
    ReportFacts f{L"Quorset", L"05.12.2026 18:04:45", L"Overflow", 6, 42, L"frmConfigure.LoadData",
                  std::vector<std::wstring>(103), L"", expanded, L"C:\\windows", L"Quorset", L"Brom", 1, 2, 3,
                  L"C:\\Programs\\Quorset", L"Quorset"};
    for (auto& [slot, name] : stack) f.stack[slot] = name;
    return f;
}

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
    EXPECT_EQ(ReportLines(Facts({{1, L"frmLaunch.mnuPopupConfigure_Click"}, {2, L"frmConfigure.Initialize"},
                                 {3, L"frmConfigure.LoadData"}})),
              expected);
}

TEST(ErrorReport, AnEmptyStackAndTheDeepSlots) {
    ReportFacts f = Facts({}, false);
    f.errorNumber = -2147220504;
    f.errorProc.clear();
    auto lines = ReportLines(f);
    EXPECT_EQ(lines.size(), 11u) << "an empty stack, no expanded information: the empty line ends it";
    EXPECT_EQ(lines[4], L"Error Number   : -2147220504");
    EXPECT_EQ(lines[6], L"Error Procedure: ");
    EXPECT_EQ(lines.back(), L"");

    lines = ReportLines(Facts({{100, L"deep"}, {102, L"deeper"}}, false));
    EXPECT_EQ(std::vector(lines.begin() + 10, lines.end()),
              (std::vector<std::wstring>{L"100" + std::wstring(200, L' ') + L"deep",
                                         L"102" + std::wstring(204, L' ') + L"deeper", L""}))
        << "every filled slot of the whole array, with wide indices";
}

}  // namespace
