// Val on arbitrary text: it returns a finite number or raises Overflow, nothing else.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/Number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text(data, data + size);
    try {
        double v = qs::text::Val(text);
        if (!std::isfinite(v)) std::abort();
    } catch (const qs::text::ConversionError& e) {
        if (e.number() != qs::text::ConversionError::kOverflow) std::abort();
    }
    return 0;
}
