// The system's ANSI code page behind the program's one pair of text conversions.
#include <windows.h>

#include "text/Ansi.h"

namespace qs::text {

std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    int length = static_cast<int>(text.size());
    int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    int length = static_cast<int>(bytes.size());
    int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, out.data(), size);
    return out;
}

}  // namespace qs::text
