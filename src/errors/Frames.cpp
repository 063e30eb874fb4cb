// The out-of-line halves of the error frames.
#include "errors/Frames.h"

#include <windows.h>

#include "errors/CErrHandler.h"
#include "text/Number.h"
#include "toolkit/Notice.h"

namespace qs {
namespace frames {
namespace {
thread_local int tArmed = 0;
}

Armed::Armed() noexcept { ++tArmed; }
Armed::~Armed() { --tArmed; }
int Armed::Count() noexcept { return tArmed; }

void Push(std::wstring_view procName) {
    if (gErrHandler) gErrHandler->Push(procName);
}

void Pop() noexcept {
    if (gErrHandler) gErrHandler->Pop();
}

void HandleCaught() noexcept {
    CurrentError() = ErrorFromCurrentException();
    try {
        if (gErrHandler) gErrHandler->HandleError();
    } catch (...) {
        // A failure while composing or showing the message has nowhere left to go.
    }
    ClearCurrentError();
}

void ShowCriticalBox(std::wstring_view qualifiedName, const ErrorInfo& error) noexcept {
    try {
        toolkit::MsgBox(CriticalBoxText(qualifiedName, error), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

void ShowShortBox(std::wstring_view procName, const ErrorInfo& error) noexcept {
    try {
        toolkit::MsgBox(L"Error: " + text::NumberText(error.number) + L". " + error.description, MB_OK,
                        std::wstring(procName));
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
