// The program's folder and the path helper the launch actions and start-up use.
#pragma once

#include <string>

namespace qs::modSupport {

// The program's folder with exactly one trailing backslash.
std::wstring AppPath();

// The path with a trailing backslash added unless it already ends with one; "" gives "\".
std::wstring AddFinalSlash(const std::wstring& path);

}  // namespace qs::modSupport
