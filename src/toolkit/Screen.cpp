// Screen measures and scale conversion.
#include "toolkit/Screen.h"

#include <windows.h>

#include "errors/Error.h"

namespace qs::toolkit {

namespace Screen {

int Dpi() {
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
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

float ScaleX(float value, int fromScale, int toScale) {
    float tpp = Screen::TwipsPerPixelX();
    return value * TwipsPer(fromScale, tpp) / TwipsPer(toScale, tpp);
}

float ScaleY(float value, int fromScale, int toScale) {
    float tpp = Screen::TwipsPerPixelY();
    return value * TwipsPer(fromScale, tpp) / TwipsPer(toScale, tpp);
}

}  // namespace qs::toolkit
