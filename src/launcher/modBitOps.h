// Word functions for message parameters.
#pragma once

#include <cstdint>

namespace qs::modBitOps {

// The low 16 bits of the value as a signed 16-bit number (65535 gives -1).
int16_t LongToInt(int32_t value);
// LongToInt of the low word.
int16_t LoWord(int32_t value);

}  // namespace qs::modBitOps
