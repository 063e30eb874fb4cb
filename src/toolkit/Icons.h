// Icons at the sizes the system shows them: the title bar, the task switcher and the
// notification area each take an icon's own image of their size.
#pragma once

#include <windows.h>

#include "base/Handles.h"

namespace qs::toolkit {

// The width of an icon's image in pixels; 0 when it cannot be read.
int IconWidth(HICON icon);

// `icon` at `size` pixels, drawn from its resource's own image nearest that size (an
// icon that comes from no resource is scaled); empty when `icon` already has the size.
// The resource's images are found only for an icon loaded shared (LR_SHARED): the
// system then remembers which resource it came from.
[[nodiscard]] unique_hicon IconAtSize(HICON icon, int size);

}  // namespace qs::toolkit
