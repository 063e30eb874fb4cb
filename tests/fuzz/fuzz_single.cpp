// Every finite single written by SingleToText reads back to itself through Val.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "text/Number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size != sizeof(float)) return 0;
    float value;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value)) return 0;
    std::wstring text = qs::text::SingleToText(value);
    if (static_cast<float>(qs::text::Val(text)) != value && !(value == 0 && qs::text::Val(text) == 0))
        std::abort();
    return 0;
}
