// The stored text of a window's placement, "L=1500;T=1200;W=4800;H=2700;S=0;": position
// and size in twips and the window state, each number after its tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/Number.h"

namespace qs::text {

struct Placement {
    int32_t left = 0, top = 0, width = 0, height = 0, state = 0;
};

// The text for a placement; numbers as SingleToText writes them with `decimalSeparator`.
std::wstring PlacementText(float left, float top, float width, float height, int16_t state,
                           wchar_t decimalSeparator = L'.');

// What a stored text says: each number read as Val reads it after the first occurrence
// of its tag (tags in any order, case-sensitive) and rounded half to even; 0 for a
// missing tag. A number beyond 32 bits raises ConversionError (Overflow).
Placement ReadPlacement(std::wstring_view text);

}  // namespace qs::text
