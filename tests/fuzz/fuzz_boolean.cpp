// ToBoolean on arbitrary text: a value, Type mismatch or Overflow; "True"/"False" in any
// case always convert.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Error.h"
#include "text/Number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text(data, data + size);
    try {
        (void)qs::text::ToBoolean(text);
    } catch (const qs::Error& e) {
        if (e.number() != qs::errTypeMismatch && e.number() != qs::errOverflow) std::abort();
    }
    return 0;
}
