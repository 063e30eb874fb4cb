// Conversions between text and numbers as the program reads and writes them: the
// classic Val reading, text to boolean, rounding, number text and the "00" format.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace qs::text {

// A text or number that cannot become what was asked: Overflow (6) or Type mismatch
// (13), with the line that found it. The program turns it into its run-time error.
class ConversionError : public std::exception {
public:
    static constexpr int32_t kOverflow = 6, kTypeMismatch = 13;
    explicit ConversionError(int32_t number, int32_t line = __builtin_LINE()) : number_(number), line_(line) {}
    int32_t number() const noexcept { return number_; }
    int32_t line() const noexcept { return line_; }
    const char* what() const noexcept override { return "conversion failed"; }

private:
    int32_t number_;
    int32_t line_;
};

// Reads the number at the start of the text in the classic Val manner: blanks, tabs and
// line feeds are skipped wherever they stand, "." is the decimal point, "E" or "D" starts
// an exponent, "&H" and "&O" start hexadecimal and octal whole numbers, and reading stops
// at the first character that cannot continue the number (0 when there is none).
// Raises Overflow (6) when the number does not fit a double.
[[nodiscard]] double Val(std::wstring_view text);

// Converts text to a boolean: "True" or "False" in any case, or a number (non-zero is
// true), with blanks around it allowed. Anything else raises Type mismatch (13).
[[nodiscard]] bool ToBoolean(std::wstring_view text);

// Converts text that holds only a number (blanks around it allowed) to a 32-bit integer,
// rounding halves to even: " 14002 " gives 14002, "2.5" gives 2. Raises Type mismatch
// (13) for anything else and Overflow (6) outside the 32-bit range.
[[nodiscard]] int32_t ToLong(std::wstring_view text);

// Rounds to the nearest 32-bit integer, halves to the even neighbour (2.5 gives 2, 3.5
// gives 4). Raises Overflow (6) outside the 32-bit range and for not-a-number.
[[nodiscard]] int32_t RoundHalfEven(double value);

// The shortest text that reads back to the same single-precision value: "1500",
// "1500.5", "-300", "0.25"; exponent form "1.5E+20" below 1E-5 and from 1E+15 on.
// Raises Overflow (6) for infinities and not-a-number.
[[nodiscard]] std::wstring SingleToText(float value, wchar_t decimalSeparator = L'.');

// The same for a double-precision value.
[[nodiscard]] std::wstring DoubleToText(double value, wchar_t decimalSeparator = L'.');

// A whole number in plain decimal with a minus sign when negative.
[[nodiscard]] std::wstring NumberText(int64_t value);

// A whole number with at least two digits: 1 gives "01", 100 gives "100", -1 "-01".
[[nodiscard]] std::wstring Format00(int32_t value);

}  // namespace qs::text
