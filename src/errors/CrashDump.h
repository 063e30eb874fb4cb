// The minidump left behind when a processor exception goes to the platform's own
// handling, which ends the process: no frame on the faulting thread could take it, or it
// came while an earlier error was still on its way to its frame. Another process writes
// it: the program's own executable, started with the switch "/CrashDump".
#pragma once

#include <windows.h>

#include <string_view>

namespace qs::CrashDump {

// The executable that writes the dumps (start-up names the program's own). None: no dumps.
void Writer(std::wstring_view executable) noexcept;

// On the faulting thread, from the exception filter: starts the writer for this
// exception and waits until it has written the dump, or for at most half a minute.
// Allocates nothing from the heap and starts no thread in this process.
void Write(EXCEPTION_POINTERS* information) noexcept;

// In the writer's process, before anything of the program starts: whether its command
// line (after the program's name) asks for a dump; when it does, the dump is written
// into %LOCALAPPDATA%\CrashDumps, where the five newest of the program's are kept.
bool Served(const wchar_t* arguments) noexcept;

}  // namespace qs::CrashDump
