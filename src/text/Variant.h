// A value of any of the kinds a property or a registry value may be handed, with the
// classic conversions to text and to a whole number.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace qs {

using ByteArray = std::vector<uint8_t>;  // always with lower bound 0
using Variant = std::variant<std::monostate, int16_t, int32_t, float, double, std::wstring, bool, ByteArray>;

// The OLE variant type number: 0 empty, 2 16-bit, 3 32-bit, 4 single, 5 double,
// 8 text, 11 boolean, 8209 byte array.
int VarType(const Variant& value);

namespace text {
// Text of a value: numbers in the shortest form that reads back, booleans as "True" or
// "False", empty as "". A byte array raises Type mismatch (13).
[[nodiscard]] std::wstring VariantText(const Variant& value);
// A 32-bit whole number: numbers rounded halves to even, text read as ToLong does,
// True as -1. Raises Type mismatch (13) or Overflow (6).
[[nodiscard]] int32_t VariantLong(const Variant& value);
}  // namespace text

}  // namespace qs
