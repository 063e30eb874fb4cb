// The program's error value: number, source, description and the line that raised it.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace qs {

// The line of the statement that raised an error. Taken at the call site through a
// default argument, so every Raise records where it was called from.
struct SourceLine {
    int32_t value = 0;
    static constexpr SourceLine Here(int32_t line = __builtin_LINE()) { return SourceLine{line}; }
};

// Run-time failures keep the numbers and texts users of classic Basic programs know.
enum RuntimeError : int32_t {
    errInvalidProcedureCall = 5,
    errOverflow = 6,
    errSubscriptOutOfRange = 9,
    errDivisionByZero = 11,
    errTypeMismatch = 13,
    errBadFileNameOrNumber = 52,
    errFileNotFound = 53,
    errDiskFull = 61,
    errPathFileAccess = 75,
    errPathNotFound = 76,
    errObjectNotSet = 91,
    errCantCreateObject = 429,
};

// The processor-exception error the exception filter delivers to the innermost frame.
inline constexpr int32_t errProcessorException = 10000;

// The OLE base added to errors that objects raise (vbObjectError).
inline constexpr int32_t vbObjectError = -2147221504;

// The program's own source name for run-time failures.
inline constexpr const wchar_t* kProjectName = L"Quorset";

struct ErrorInfo {
    int32_t number = 0;
    std::wstring source;
    std::wstring description;
    int32_t line = 0;
};

class Error : public std::exception {
public:
    explicit Error(ErrorInfo info) : info_(std::move(info)) {}
    const ErrorInfo& info() const noexcept { return info_; }
    int32_t number() const noexcept { return info_.number; }
    const std::wstring& source() const noexcept { return info_.source; }
    const std::wstring& description() const noexcept { return info_.description; }
    int32_t line() const noexcept { return info_.line; }
    const char* what() const noexcept override { return "Quorset error"; }

private:
    ErrorInfo info_;
};

// The text of a run-time error number; "Application-defined or object-defined error"
// for numbers the table does not know.
std::wstring RuntimeErrorText(int32_t number);

[[noreturn]] void Raise(int32_t number, std::wstring source, std::wstring description,
                        SourceLine where = SourceLine::Here());

// Raises a run-time error with its classic text and the program as source.
[[noreturn]] void RaiseRuntime(int32_t number, SourceLine where = SourceLine::Here());

// The object a reference holds; error 91 "Object variable or With block variable not
// set" when it holds none, as a call through an empty reference fails.
template <class Reference>
auto& Required(const Reference& reference, SourceLine where = SourceLine::Here()) {
    if (!reference) RaiseRuntime(errObjectNotSet, where);
    return *reference;
}

// Raises the run-time error that matches a failed file operation's system error code:
// File not found, Path not found, Disk full, else Path/File access error.
[[noreturn]] void RaiseFileError(uint32_t systemError, SourceLine where = SourceLine::Here());

// Turns whatever a catch-all caught into the program's error value: program errors keep
// their fields, allocation failures become "Out of memory", anything else a generic error.
ErrorInfo ErrorFromCurrentException();

// The current-error record of the thread: filled when a frame catches an error, cleared
// by the frame once the error has been handled.
ErrorInfo& CurrentError();
void ClearCurrentError();

}  // namespace qs
