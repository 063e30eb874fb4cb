// The out-of-line halves of the local frames.
#include "base/Frames.h"

#include <windows.h>

#include <atomic>

#include "base/Notice.h"
#include "text/Number.h"

namespace qs {
namespace frames {
namespace {
thread_local int tArmed = 0;

// Before the error handler exists, a failure at a callback's edge is still shown.
void ShowPlainly() noexcept {
    ShowCriticalBox(L"Quorset", ErrorFromCurrentException());
}

std::atomic<Reporter> gReporter{&ShowPlainly};
}  // namespace

Armed::Armed() noexcept { ++tArmed; }
Armed::~Armed() { --tArmed; }
int Armed::Count() noexcept { return tArmed; }

void SetReporter(Reporter reporter) noexcept { gReporter = reporter ? reporter : &ShowPlainly; }
void ReportCaught() noexcept { gReporter.load()(); }

void ShowCriticalBox(std::wstring_view qualifiedName, const ErrorInfo& error) noexcept {
    try {
        MsgBox(CriticalBoxText(qualifiedName, error), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

void ShowShortBox(std::wstring_view procName, const ErrorInfo& error) noexcept {
    try {
        MsgBox(L"Error: " + text::NumberText(error.number) + L". " + error.description, MB_OK, std::wstring(procName));
    } catch (...) {
    }
}

}  // namespace frames

std::wstring CriticalBoxText(std::wstring_view qualifiedName, const ErrorInfo& error) {
    return L"An error has occured in " + std::wstring(qualifiedName) + L" \r\n\r\nError:" +
           text::NumberText(error.number) + L"\r\nDescription:" + error.description + L"\r\nLine:" +
           text::NumberText(error.line);
}

}  // namespace qs
