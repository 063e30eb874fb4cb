// ToBoolean on arbitrary text: a value, Type mismatch or Overflow; "True"/"False" in any
// case always convert.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/Number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text(data, data + size);
    try {
        (void)qs::text::ToBoolean(text);
    } catch (const qs::text::ConversionError& e) {
        if (e.number() != qs::text::ConversionError::kTypeMismatch && e.number() != qs::text::ConversionError::kOverflow) std::abort();
    }
    return 0;
}
