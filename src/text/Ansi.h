// Conversion between the program's text and the system's ANSI code page, used for the
// registry, the shell's icon record and the report files. One pair of functions: the
// Windows build converts with the system code page, the portable build with Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace qs::text {

// Characters the code page cannot represent become its default character ("?").
// Embedded zero characters are kept.
[[nodiscard]] std::string ToAnsi(std::wstring_view text);
[[nodiscard]] std::wstring FromAnsi(std::string_view bytes);

// The ANSI form of the longest start of `text` that takes at most `bytes` bytes. A
// character the code page writes in two bytes (or more) is kept whole or left out, and
// so is a pair of surrogates: a cut never leaves part of a character.
[[nodiscard]] std::string ToAnsiWithin(std::wstring_view text, size_t bytes);

}  // namespace qs::text
