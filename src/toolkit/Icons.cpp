// Icons at the sizes the system shows them.
#include "toolkit/Icons.h"

namespace qs::toolkit {

int IconWidth(HICON icon) {
    ICONINFO parts{};
    if (!icon || !::GetIconInfo(icon, &parts)) return 0;
    unique_hbitmap color(parts.hbmColor), mask(parts.hbmMask);
    BITMAP bits{};
    ::GetObjectW(color ? color.get() : mask.get(), sizeof bits, &bits);
    return bits.bmWidth;
}

unique_hicon IconAtSize(HICON icon, int size) {
    // Looking at the icon's size costs less than a copy.
    if (!icon || IconWidth(icon) == size) return unique_hicon();
    HICON copy = static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    return unique_hicon(copy ? copy : static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, size, size, 0)));
}

}  // namespace qs::toolkit
