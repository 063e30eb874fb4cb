// Reading the program's command line.
#pragma once

#include <string_view>

namespace qs::text {

// The arguments of a whole command line: what follows the program's name (quoted, or up
// to the first blank or tab) and the blanks and tabs after it.
std::wstring_view ArgumentsOf(std::wstring_view commandLine);

// Whether the arguments ask for a silent start: "/S" anywhere in them, case-sensitive.
bool IsSilentStart(std::wstring_view arguments);

}  // namespace qs::text
