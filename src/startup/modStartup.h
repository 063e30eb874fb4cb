// Start-up of the program and its command line.
#pragma once

#include <string>

namespace qs::modStartup {

// The program's start: the error handler, the exception filter, the single-instance
// test, the caption language, and the launcher window, shown unless "/S" was given.
void Main();

// True when the command line asks for a silent start: "/S" anywhere in the arguments,
// compared case-sensitively.
bool CheckCommandLine();

}  // namespace qs::modStartup
