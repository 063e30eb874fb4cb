// Turns processor exceptions (access violations, divisions by zero, ...) into the
// program's error 10000, delivered to the innermost error frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qs::MExceptionHandler {

void InstallExceptionFilter();
void RemoveExceptionFilter();
bool FilterInstalled();

// The filter Windows calls for an exception nothing else handles.
LONG WINAPI ExceptionHandler(EXCEPTION_POINTERS* information);

// The text for an exception code: "Access Violation", ..., or "Unknown (&HXXXXXXXX)".
std::wstring GetExceptionName(uint32_t code);

}  // namespace qs::MExceptionHandler
