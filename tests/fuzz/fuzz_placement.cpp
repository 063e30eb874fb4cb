// ReadPlacement on arbitrary text: a placement or Overflow, nothing else; and a placement
// of whole numbers written by PlacementText reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/Placement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qs::text;
    std::wstring text(data, data + size);
    try {
        Placement p = ReadPlacement(text);
        auto exact = [](int32_t v) { return v >= -(1 << 24) && v <= (1 << 24); };  // whole in a single
        if (!exact(p.left) || !exact(p.top) || !exact(p.width) || !exact(p.height) || p.state < INT16_MIN ||
            p.state > INT16_MAX)
            return 0;
        Placement again = ReadPlacement(PlacementText(static_cast<float>(p.left), static_cast<float>(p.top),
                                                      static_cast<float>(p.width), static_cast<float>(p.height),
                                                      static_cast<int16_t>(p.state)));
        if (again.left != p.left || again.top != p.top || again.width != p.width || again.height != p.height ||
            again.state != p.state)
            std::abort();
    } catch (const ConversionError& e) {
        if (e.number() != ConversionError::kOverflow) std::abort();
    }
    return 0;
}
