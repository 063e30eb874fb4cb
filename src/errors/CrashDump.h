// The minidump left behind when a processor exception goes to the platform's own
// handling, which ends the process: no frame on the faulting thread could take it, or it
// came while an earlier error was still on its way to its frame.
#pragma once

#include <windows.h>

#include <string_view>

namespace qs::CrashDump {

// The folder the dumps go to: the error report's, with its final backslash (set with the
// report's destination). Empty: no dumps. A folder that does not exist gets none either.
void Folder(std::wstring_view folder) noexcept;

// On the faulting thread, from the exception filter: starts a thread that dumps the
// process with this exception, with a stack of its own (so that a thread whose stack has
// overflowed can be dumped too), and waits until it has. Allocates nothing from the heap
// on the faulting thread.
void Write(EXCEPTION_POINTERS* information) noexcept;

}  // namespace qs::CrashDump
