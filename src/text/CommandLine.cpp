// The command line's arguments and the silent-start switch.
#include "text/CommandLine.h"

namespace qs::text {

std::wstring_view ArgumentsOf(std::wstring_view line) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring_view::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && !blank(line[i])) ++i;
    }
    while (i < line.size() && blank(line[i])) ++i;
    return line.substr(i);
}

bool IsSilentStart(std::wstring_view arguments) { return arguments.find(L"/S") != std::wstring_view::npos; }

}  // namespace qs::text
