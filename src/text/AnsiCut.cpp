// Cutting a text's ANSI form at a character's edge, for any code page.
#include "text/Ansi.h"

#include <algorithm>

namespace qs::text {

std::string ToAnsiWithin(std::wstring_view text, size_t bytes) {
    std::string whole = ToAnsi(text);
    if (whole.size() <= bytes) return whole;
    // Each character takes at least one byte, a pair of surrogates at least one for two:
    // no start longer than twice the room can fit. The bytes grow with the start, so the
    // first start from there down that fits is the longest.
    size_t length = std::min(text.size(), 2 * bytes);
    for (;; --length) {
        if (length > 0 && length < text.size() && text[length] >= 0xDC00 && text[length] <= 0xDFFF) continue;
        std::string start = ToAnsi(text.substr(0, length));
        if (start.size() <= bytes) return start;
    }
}

}  // namespace qs::text
