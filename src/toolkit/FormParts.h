// What the toolkit's form files share and nobody else needs: the list of loaded forms
// and the conversions from design measures to a window's pixels and fonts.
#pragma once

#include <windows.h>

#include <cmath>
#include <vector>

#include "base/Handles.h"
#include "toolkit/Design.h"

namespace qs::toolkit {
class Form;

namespace detail {

inline constexpr wchar_t kFormClass[] = L"QuorsetForm";

// Every loaded form, in load order.
std::vector<Form*>& LoadedForms();

inline int Pixels(float twips, float twipsPerPixel) { return static_cast<int>(std::lround(twips / twipsPerPixel)); }

// A design font at the given dots per inch.
HFONT CreateDesignFont(const FontDesign& font, int dpi);

// The dots per inch a window is shown at: its monitor's, or the screen's.
int WindowDpi(HWND window);

// Toolbar pictures follow the dots per inch: 16, 24 or 32 pixels.
inline int ToolbarPictureSize(int dpi) { return dpi >= 168 ? 32 : dpi >= 120 ? 24 : 16; }

// The pictures side by side in one strip of `size` pixels: a list takes the strip in one
// step, where adding them as icons one by one costs a conversion and a mask each. In full
// colour, or, for high contrast, each picture that has a mask as that mask in the system
// colour `ink` (COLOR_BTNTEXT, COLOR_HIGHLIGHTTEXT).
constexpr int kFullColour = -1;
unique_hbitmap PictureStrip(const std::vector<PictureDesign>& pictures, int size, int ink);

}  // namespace detail
}  // namespace qs::toolkit
