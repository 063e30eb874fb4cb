// The local error frames the supporting code runs in, and the callback edge. Each is
// written once: ignore, critical box, short box, re-raise, component raise, report.
// The procedure frame, which needs the program's error handler, is in errors/Frames.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Error.h"

namespace qs {

namespace frames {
// Counts the frames on this thread that will catch a failure, so that the exception
// filter redirects a processor exception only when some frame is there to receive it.
class Armed {
public:
    Armed() noexcept;
    ~Armed();
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
    static int Count() noexcept;
};

// Who hears of a failure that reached a callback's edge: the program's error handler
// while there is one (it installs itself); until then a plain message box.
using Reporter = void (*)() noexcept;
void SetReporter(Reporter reporter) noexcept;
void ReportCaught() noexcept;

void ShowCriticalBox(std::wstring_view qualifiedName, const ErrorInfo& error) noexcept;
void ShowShortBox(std::wstring_view procName, const ErrorInfo& error) noexcept;
}  // namespace frames

// The callback edge: where no framed procedure took a failure (a window procedure, a
// message the program handles outside its procedures), it is reported like any other and
// the callback returns normally. Nothing is dropped without a trace.
template <class Body>
bool reported(Body&& body) noexcept {
    frames::Armed armed;
    try {
        body();
        return true;
    } catch (...) {
        frames::ReportCaught();
        return false;
    }
}

// The ignore-errors regime: runs one statement and swallows its failure.
template <class Body>
void ignoring(Body&& statement) noexcept {
    frames::Armed armed;
    try {
        statement();
    } catch (...) {
    }
}

// Critical box: on failure shows "An error has occured in <qualifiedName> ..." with the
// stop icon and returns normally.
template <class Body>
void criticalBox(std::wstring_view qualifiedName, Body&& body) noexcept {
    frames::Armed armed;
    try {
        body();
    } catch (...) {
        frames::ShowCriticalBox(qualifiedName, ErrorFromCurrentException());
    }
}

// Short box: on failure shows "Error: <number>. <description>" titled with the bare
// procedure name and returns normally.
template <class Body>
void shortBox(std::wstring_view procName, Body&& body) noexcept {
    frames::Armed armed;
    try {
        body();
    } catch (...) {
        frames::ShowShortBox(procName, ErrorFromCurrentException());
    }
}

// Re-raise: a failure leaves as the same program error (number, source, description).
template <class Body>
decltype(auto) reraise(Body&& body) {
    frames::Armed armed;
    try {
        return body();
    } catch (const Error&) {
        throw;
    } catch (...) {
        throw Error(ErrorFromCurrentException());
    }
}

// Component raise: errors the component raised itself (under `source`) pass unchanged;
// any other failure leaves as the component's own error.
template <class Body>
decltype(auto) componentRaise(int32_t number, std::wstring_view source, std::wstring_view description,
                              Body&& body) {
    frames::Armed armed;
    try {
        return body();
    } catch (const Error& e) {
        if (e.source() == source) throw;
        throw Error(ErrorInfo{number, std::wstring(source), std::wstring(description), 0});
    } catch (...) {
        throw Error(ErrorInfo{number, std::wstring(source), std::wstring(description), 0});
    }
}

// The text of the critical box, line by line.
std::wstring CriticalBoxText(std::wstring_view qualifiedName, const ErrorInfo& error);

}  // namespace qs
