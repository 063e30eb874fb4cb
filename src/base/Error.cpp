// The error value, the classic run-time texts and the thread's current-error record.
#include "base/Error.h"

#include <new>

#include "text/Number.h"

namespace qs {

std::wstring RuntimeErrorText(int32_t number) {
    switch (number) {
    case errInvalidProcedureCall: return L"Invalid procedure call or argument";
    case errOverflow: return L"Overflow";
    case 7: return L"Out of memory";
    case errSubscriptOutOfRange: return L"Subscript out of range";
    case errDivisionByZero: return L"Division by zero";
    case errTypeMismatch: return L"Type mismatch";
    case errBadFileNameOrNumber: return L"Bad file name or number";
    case errFileNotFound: return L"File not found";
    case errDiskFull: return L"Disk full";
    case errPathFileAccess: return L"Path/File access error";
    case errPathNotFound: return L"Path not found";
    case errObjectNotSet: return L"Object variable or With block variable not set";
    case errCantCreateObject: return L"ActiveX component can't create object";
    default: return L"Application-defined or object-defined error";
    }
}

void Raise(int32_t number, std::wstring source, std::wstring description, SourceLine where) {
    throw Error(ErrorInfo{number, std::move(source), std::move(description), where.value});
}

void RaiseRuntime(int32_t number, SourceLine where) {
    Raise(number, kProjectName, RuntimeErrorText(number), where);
}

void RaiseFileError(uint32_t systemError, SourceLine where) {
    switch (systemError) {
    case 2: RaiseRuntime(errFileNotFound, where);                        // ERROR_FILE_NOT_FOUND
    case 3: case 123: case 161: RaiseRuntime(errPathNotFound, where);     // path not found, bad name
    case 39: case 112: RaiseRuntime(errDiskFull, where);                  // handle / disk full
    default: RaiseRuntime(errPathFileAccess, where);
    }
}

ErrorInfo ErrorFromCurrentException() {
    try {
        throw;
    } catch (const Error& e) {
        return e.info();
    } catch (const text::ConversionError& e) {
        return ErrorInfo{e.number(), kProjectName, RuntimeErrorText(e.number()), e.line()};
    } catch (const std::bad_alloc&) {
        return ErrorInfo{7, kProjectName, RuntimeErrorText(7), 0};
    } catch (...) {
        return ErrorInfo{51, kProjectName, L"Internal error", 0};
    }
}

namespace {
thread_local ErrorInfo tCurrentError;
}

ErrorInfo& CurrentError() { return tCurrentError; }

void ClearCurrentError() { tCurrentError = ErrorInfo{}; }

}  // namespace qs
