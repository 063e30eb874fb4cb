// The error frames every procedure of the program runs in. The procedure frame pushes
// the procedure's name on gErrHandler and hands any failure to HandleError; the local
// frames report or raise in the smaller ways the supporting classes use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "errors/Error.h"

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

void Push(std::wstring_view procName);
void Pop() noexcept;
void HandleCaught() noexcept;  // records the caught error and calls gErrHandler.HandleError
void ShowCriticalBox(std::wstring_view qualifiedName, const ErrorInfo& error) noexcept;
void ShowShortBox(std::wstring_view procName, const ErrorInfo& error) noexcept;
}  // namespace frames

// The procedure frame: push the name, run the body, and on any failure call
// HandleError; pop in every case and return normally. Functions keep their result in a
// variable the body assigns, so a failure leaves whatever had been set.
template <class Body>
void framed(std::wstring_view procName, Body&& body) noexcept {
    frames::Armed armed;
    try {
        frames::Push(procName);
        body();
    } catch (...) {
        frames::HandleCaught();
    }
    frames::Pop();
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

// The callback edge: where no framed procedure took a failure (a window procedure, a
// message the program handles outside its procedures), it goes to HandleError like any
// other and the callback returns normally. Nothing is dropped without a trace.
template <class Body>
bool reported(Body&& body) noexcept {
    frames::Armed armed;
    try {
        body();
        return true;
    } catch (...) {
        frames::HandleCaught();
        return false;
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
