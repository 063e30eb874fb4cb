// Screen measures and scale conversion.
#include "toolkit/Screen.h"

#include <windows.h>

#include <algorithm>

#include "base/Error.h"

namespace qs::toolkit {

namespace Screen {

int Dpi() {
    UINT dpi = ::GetDpiForSystem();
    return dpi > 0 ? static_cast<int>(dpi) : 96;
}

float TwipsPerPixelX() { return 1440.0f / static_cast<float>(Dpi()); }
float TwipsPerPixelY() { return TwipsPerPixelX(); }
float Width() { return static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX(); }
float Height() { return static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY(); }

}  // namespace Screen

namespace {
float TwipsPer(int scale, float twipsPerPixel) {
    switch (scale) {
    case vbTwips: return 1;
    case vbPoints: return 20;
    case vbPixels: return twipsPerPixel;
    default: RaiseRuntime(errInvalidProcedureCall);
    }
}
}  // namespace

float ConvertScale(float value, int fromScale, int toScale, float twipsPerPixel) {
    return value * TwipsPer(fromScale, twipsPerPixel) / TwipsPer(toScale, twipsPerPixel);
}

float ScaleX(float value, int fromScale, int toScale) {
    return ConvertScale(value, fromScale, toScale, Screen::TwipsPerPixelX());
}

float ScaleY(float value, int fromScale, int toScale) {
    return ConvertScale(value, fromScale, toScale, Screen::TwipsPerPixelY());
}

POINT CentreOver(const RECT& over, SIZE size, const RECT& workArea) {
    LONG left = (over.left + over.right - size.cx) / 2, top = (over.top + over.bottom - size.cy) / 2;
    // Right and bottom edges first, so that a window larger than the area keeps its
    // title bar and left edge in view.
    left = std::max(workArea.left, std::min(left, workArea.right - size.cx));
    top = std::max(workArea.top, std::min(top, workArea.bottom - size.cy));
    return POINT{left, top};
}

}  // namespace qs::toolkit
