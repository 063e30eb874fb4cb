// Number reading and writing shared by the registry, placement and resource code.
#include "text/Number.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>
#include <cmath>
#include <cstdint>


namespace qs::text {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return 99;
}

// Where the reading of a number stopped and what it found.
struct Reading {
    double value = 0;
    bool sawDigit = false;  // at least one digit belonged to the number
    size_t stop = 0;        // index of the first character not taken
};

// Reads a number from the start of `s`. Lenient reading (Val) skips blanks anywhere;
// strict reading (ToBoolean) allows them only before the number.
class NumberReader {
public:
    NumberReader(std::wstring_view s, bool lenient) : s_(s), lenient_(lenient) {}

    Reading Read() {
        Skip(true);
        if (Peek() == L'&') return ReadRadix();
        return ReadDecimal();
    }

private:
    wchar_t Peek() const { return i_ < s_.size() ? s_[i_] : L'\0'; }
    bool AtEnd() const { return i_ >= s_.size(); }
    void Skip(bool always) {
        if (always || lenient_)
            while (!AtEnd() && IsBlank(s_[i_])) ++i_;
    }
    void Next() {
        ++i_;
        Skip(false);
    }

    // "&H" hexadecimal or "&O" octal: up to four digits' worth is a 16-bit integer,
    // up to eight a 32-bit one, both read as signed ("&HFFFF" is -1).
    Reading ReadRadix() {
        Next();
        int base = 0;
        if (Peek() == L'H' || Peek() == L'h') base = 16;
        else if (Peek() == L'O' || Peek() == L'o') base = 8;
        else return Reading{0, false, i_};
        Next();
        uint64_t v = 0;
        bool any = false;
        while (!AtEnd() && DigitValue(Peek()) < base) {
            v = v * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(Peek()));
            if (v > 0xFFFFFFFFull) throw ConversionError(ConversionError::kOverflow);
            any = true;
            Next();
        }
        double value = v <= 0xFFFF ? static_cast<int16_t>(static_cast<uint16_t>(v))
                                   : static_cast<int32_t>(static_cast<uint32_t>(v));
        return Reading{value, any, i_};
    }

    Reading ReadDecimal() {
        std::string digits;  // sign, mantissa and exponent in plain ASCII
        if (Peek() == L'+' || Peek() == L'-') {
            if (Peek() == L'-') digits.push_back('-');
            Next();
        }
        bool any = false, point = false;
        long intDigits = 0, leadingFractionZeros = 0;
        bool significant = false;
        while (!AtEnd()) {
            wchar_t c = Peek();
            if (IsDigit(c)) {
                any = true;
                if (c != L'0') significant = true;
                if (!point && significant) ++intDigits;
                if (point && !significant) ++leadingFractionZeros;
                digits.push_back(static_cast<char>(c));
            } else if (c == L'.' && !point) {
                point = true;
                digits.push_back('.');
            } else {
                break;
            }
            Next();
        }
        if (!any) return Reading{0, false, i_};

        long exponent = 0;
        wchar_t e = Peek();
        if (e == L'E' || e == L'e' || e == L'D' || e == L'd') {
            Next();
            bool negative = false;
            if (Peek() == L'+' || Peek() == L'-') {
                negative = Peek() == L'-';
                Next();
            }
            while (IsDigit(Peek())) {
                if (exponent < 1000000) exponent = exponent * 10 + (Peek() - L'0');
                Next();
            }
            if (negative) exponent = -exponent;
        }
        if (!significant) return Reading{0, true, i_};

        digits += 'e';
        digits += std::to_string(exponent);
        errno = 0;
        double value = std::strtod(digits.c_str(), nullptr);
        if (errno == ERANGE && (std::isinf(value) || value == 0)) {
            // Too large is an overflow; too small to represent reads as zero.
            long magnitude = (intDigits > 0 ? intDigits : -leadingFractionZeros) + exponent;
            if (magnitude > 0) throw ConversionError(ConversionError::kOverflow);
            value = 0;
        }
        return Reading{value, true, i_};
    }

    std::wstring_view s_;
    bool lenient_;
    size_t i_ = 0;
};

bool EqualsAsciiNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

std::wstring_view TrimBlanks(std::wstring_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::wstring Widen(std::string_view s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

double Val(std::wstring_view text) { return NumberReader(text, true).Read().value; }

namespace {
// A text that must be a number and nothing else.
double StrictNumber(std::wstring_view t) {
    Reading r = NumberReader(t, false).Read();
    if (!r.sawDigit || r.stop != t.size()) throw ConversionError(ConversionError::kTypeMismatch);
    return r.value;
}
}  // namespace

bool ToBoolean(std::wstring_view text) {
    std::wstring_view t = TrimBlanks(text);
    if (EqualsAsciiNoCase(t, L"true")) return true;
    if (EqualsAsciiNoCase(t, L"false")) return false;
    return StrictNumber(t) != 0;
}

int32_t ToLong(std::wstring_view text) { return RoundHalfEven(StrictNumber(TrimBlanks(text))); }

int32_t RoundHalfEven(double value) {
    // Halves from -2147483648.5 up to 2147483647.5 (exclusive) still round into range.
    if (!(value >= -2147483648.5 && value < 2147483647.5)) throw ConversionError(ConversionError::kOverflow);
    // Explicit, so that a changed floating-point rounding mode cannot alter the result.
    double lower = std::floor(value);
    double r = value - lower == 0.5 ? (std::fmod(lower, 2.0) == 0 ? lower : lower + 1) : std::round(value);
    return static_cast<int32_t>(r);
}

namespace {
// The fewest significant digits, in "%e" form, that read back to exactly `value`.
template <class T>
std::string ShortestScientific(T value) {
    char buf[64] = "";
    for (int digits = 1; digits <= std::numeric_limits<T>::max_digits10; ++digits) {
#ifdef __MINGW32__
        __mingw_snprintf(buf, sizeof buf, "%.*e", digits - 1, static_cast<double>(value));
#else
        std::snprintf(buf, sizeof buf, "%.*e", digits - 1, static_cast<double>(value));
#endif
        T back = 0;
        if constexpr (std::is_same_v<T, float>) back = std::strtof(buf, nullptr);
        else back = std::strtod(buf, nullptr);
        if (back == value) break;
    }
    return buf;
}

// Writes a finite value from its shortest round-trip digits.
template <class T>
std::wstring ShortestText(T value, wchar_t decimalSeparator) {
    if (!std::isfinite(value)) throw ConversionError(ConversionError::kOverflow);
    if (value == 0) return L"0";

    // Shortest round-trip digits in scientific form: "d.ddde+XX". The C library's
    // correctly rounded formatting and reading serve here; the C++ library's own tables
    // would add a quarter of the program's size.
    std::string sci = ShortestScientific(value);
    size_t ePos = sci.find('e');
    int exponent = std::stoi(sci.substr(ePos + 1));
    bool negative = sci[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (sci[i] != '.') digits.push_back(sci[i]);

    std::string out = negative ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        // Fixed form: the point goes after digit number exponent + 1.
        int pointAt = exponent + 1;
        if (pointAt <= 0) {
            out += "0." + std::string(static_cast<size_t>(-pointAt), '0') + digits;
        } else if (static_cast<size_t>(pointAt) >= digits.size()) {
            out += digits + std::string(static_cast<size_t>(pointAt) - digits.size(), '0');
        } else {
            out += digits.substr(0, static_cast<size_t>(pointAt)) + "." + digits.substr(static_cast<size_t>(pointAt));
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    }
    std::wstring wide = Widen(out);
    for (auto& c : wide)
        if (c == L'.') c = decimalSeparator;
    return wide;
}
}  // namespace

std::wstring SingleToText(float value, wchar_t decimalSeparator) { return ShortestText(value, decimalSeparator); }

std::wstring DoubleToText(double value, wchar_t decimalSeparator) { return ShortestText(value, decimalSeparator); }

std::wstring NumberText(int64_t value) { return Widen(std::to_string(value)); }

std::wstring Format00(int32_t value) {
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    std::wstring digits = NumberText(magnitude);
    if (digits.size() < 2) digits.insert(0, 1, L'0');
    return value < 0 ? L"-" + digits : digits;
}

}  // namespace qs::text
