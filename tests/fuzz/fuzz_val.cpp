// Val on arbitrary text: it returns a finite number or raises Overflow, nothing else.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Error.h"
#include "text/Number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text(data, data + size);
    try {
        double v = qs::text::Val(text);
        if (!std::isfinite(v)) std::abort();
    } catch (const qs::Error& e) {
        if (e.number() != qs::errOverflow) std::abort();
    }
    return 0;
}
