// Windows-1252, the ANSI code page of English and German systems, for builds that
// have no system code page to ask (the native test build).
#include "text/Ansi.h"

#include <array>

namespace qs::text {
namespace {

// Code points of the bytes 0x80 to 0x9F; the five unassigned bytes map to themselves,
// as the system's own table does.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string ToAnsi(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(ByteOf(static_cast<char32_t>(c)));
    return out;
}

std::wstring FromAnsi(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        auto u = static_cast<unsigned char>(b);
        out.push_back(static_cast<wchar_t>(u >= 0x80 && u < 0xA0 ? kHigh[u - 0x80] : u));
    }
    return out;
}

}  // namespace qs::text
