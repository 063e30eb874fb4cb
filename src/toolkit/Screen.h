// The screen in twips, and conversion between the form scale modes.
#pragma once

#include <windows.h>

namespace qs::toolkit {

// Scale modes of a form: twips (1), points (2), pixels (3).
enum ScaleModeConstants { vbTwips = 1, vbPoints = 2, vbPixels = 3 };

namespace Screen {
// Twips per pixel at the screen's real dots per inch (15 at 96 dpi).
float TwipsPerPixelX();
float TwipsPerPixelY();
// The primary screen's size in twips.
float Width();
float Height();
// The dots per inch of the screen.
int Dpi();
}  // namespace Screen

// Converts a measure between scale modes at `twipsPerPixel`.
[[nodiscard]] float ConvertScale(float value, int fromScale, int toScale, float twipsPerPixel);

// Converts a horizontal measure between scale modes at the screen's dots per inch.
float ScaleX(float value, int fromScale, int toScale);
float ScaleY(float value, int fromScale, int toScale);

// Where a window of `size` goes to stand centred over `over`, moved as little as needed
// to lie wholly inside `workArea` (the work area of the monitor it opens on).
[[nodiscard]] POINT CentreOver(const RECT& over, SIZE size, const RECT& workArea);

}  // namespace qs::toolkit
