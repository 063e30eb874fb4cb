// Turns processor exceptions (access violations, divisions by zero, ...) into the
// program's error 10000, delivered to the innermost error frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qs::MExceptionHandler {

void InstallExceptionFilter();
void RemoveExceptionFilter();

// Called where a frame has caught a processor error, with the stack unwound to it: the
// thread is ready for its next processor exception (a stack overflow's guard page is back).
// The error's own end does the same for catches that do not call this.
void ErrorDelivered() noexcept;

// The filter Windows calls for an exception nothing else handles.
LONG WINAPI ExceptionHandler(EXCEPTION_POINTERS* information);

// The text for an exception code: "Access Violation", ..., or "Unknown (&HXXXXXXXX)".
std::wstring GetExceptionName(uint32_t code);

}  // namespace qs::MExceptionHandler
