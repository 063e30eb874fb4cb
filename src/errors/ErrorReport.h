// The lines of the plain-text error report, composed from the facts of one handled error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qs {

struct ReportFacts {
    std::wstring appTitle;      // heading
    std::wstring currentTime;   // local short date, a blank, local long time
    std::wstring errorString;
    int32_t errorNumber = 0;
    int32_t errorLine = 0;
    std::wstring errorProc;
    std::vector<std::wstring> stack;  // the whole stack array, slot 0 first
    std::wstring currentOperation;
    bool includeExpandedInfo = true;
    // Additional information, used when includeExpandedInfo is set.
    std::wstring currentDirectory;
    std::wstring title;
    std::wstring companyName;
    int32_t major = 0, minor = 0, revision = 0;
    std::wstring path;
    std::wstring productName;
};

// The report's lines without their line ends.
std::vector<std::wstring> ReportLines(const ReportFacts& facts);

}  // namespace qs
