// The number readers on arbitrary text: Val gives a finite number or raises Overflow,
// ToBoolean and ToLong a value, Type mismatch or Overflow, nothing else. Four bytes are
// also a single, which SingleToText writes as a text that Val reads back to it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/Number.h"

using qs::text::ConversionError;

namespace {

template <class Read>
void ExpectOnly(Read read, bool mismatchAllowed) {
    try {
        read();
    } catch (const ConversionError& e) {
        if (e.number() != ConversionError::kOverflow && !(mismatchAllowed && e.number() == ConversionError::kTypeMismatch))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text(data, data + size);
    ExpectOnly([&] {
        if (!std::isfinite(qs::text::Val(text))) std::abort();
    }, false);
    ExpectOnly([&] { (void)qs::text::ToBoolean(text); }, true);
    ExpectOnly([&] { (void)qs::text::ToLong(text); }, true);
    float value;
    if (size != sizeof value) return 0;
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value) && static_cast<float>(qs::text::Val(qs::text::SingleToText(value))) != value) std::abort();
    return 0;
}
