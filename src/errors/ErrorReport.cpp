// Composes the error report: what failed, where, when, the procedure stack and the
// program's installation.
#include "errors/ErrorReport.h"

#include "text/Number.h"

namespace qs {

std::vector<std::wstring> ReportLines(const ReportFacts& f) {
    using text::NumberText;
    std::vector<std::wstring> lines{
        f.appTitle + L" Application Error Information",
        std::wstring(36, L'='),
        L"Current Time   : " + f.currentTime,
        L"Error String   : " + f.errorString.substr(0, 255),
        L"Error Number   : " + NumberText(f.errorNumber),
        L"Error Line     : " + NumberText(f.errorLine),
        L"Error Procedure: " + f.errorProc,
        L"",
        L"Procedure Stack",
        std::wstring(15, L'-'),
    };
    for (size_t i = 0; i < f.stack.size(); ++i) {
        if (f.stack[i].empty()) continue;
        lines.push_back(text::Format00(static_cast<int32_t>(i)) + std::wstring(2 * i, L' ') + f.stack[i]);
    }
    lines.emplace_back();
    if (!f.currentOperation.empty()) lines.push_back(L"Current Operation: " + f.currentOperation);
    if (f.includeExpandedInfo) {
        lines.insert(lines.end(), {
            L"",
            L"Additional Information",
            std::wstring(22, L'-'),
            L"Current Directory: " + f.currentDirectory,
            L"App Title: " + f.title,
            L"App CompanyName: " + f.companyName,
            L"App Major: " + NumberText(f.major),
            L"App Minor: " + NumberText(f.minor),
            L"App Revision: " + NumberText(f.revision),
            L"App Path: " + f.path,
            L"App ProductName: " + f.productName,
        });
    }
    return lines;
}

}  // namespace qs
