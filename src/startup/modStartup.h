// Start-up of the program and its command line.
#pragma once

#include <string>

namespace qs::modStartup {

// True when the command line asks for a silent start: "/S" anywhere in the arguments,
// compared case-sensitively.
bool CheckCommandLine();

// The same test on given arguments.
bool IsSilentStart(const std::wstring& arguments);

}  // namespace qs::modStartup
