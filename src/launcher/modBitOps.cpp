// Word functions; each shows its own failure in the short box and returns 0.
#include "launcher/modBitOps.h"

#include "base/Frames.h"

namespace qs::modBitOps {

int16_t LongToInt(int32_t value) {
    int16_t result = 0;
    shortBox(L"LongToInt", [&] {
        int32_t low = value & 0xFFFF;
        result = static_cast<int16_t>(low > 32767 ? low - 65536 : low);
    });
    return result;
}

int16_t LoWord(int32_t value) {
    int16_t result = 0;
    shortBox(L"LoWord", [&] { result = LongToInt(value & 0xFFFF); });
    return result;
}

}  // namespace qs::modBitOps
