// The screen in twips, and conversion between the form scale modes.
#pragma once

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

// Converts a horizontal measure between scale modes.
float ScaleX(float value, int fromScale, int toScale);
float ScaleY(float value, int fromScale, int toScale);

}  // namespace qs::toolkit
