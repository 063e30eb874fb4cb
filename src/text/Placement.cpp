// The placement text: written with the shortest numbers that read back, read tag by tag.
#include "text/Placement.h"

namespace qs::text {
namespace {

int32_t TaggedNumber(std::wstring_view text, std::wstring_view tag) {
    size_t at = text.find(tag);
    return at == std::wstring_view::npos ? 0 : RoundHalfEven(Val(text.substr(at + tag.size())));
}

}  // namespace

std::wstring PlacementText(float left, float top, float width, float height, int16_t state, wchar_t decimalSeparator) {
    auto number = [&](float v) { return SingleToText(v, decimalSeparator); };
    return L"L=" + number(left) + L";T=" + number(top) + L";W=" + number(width) + L";H=" + number(height) + L";S=" +
           NumberText(state) + L";";
}

Placement ReadPlacement(std::wstring_view text) {
    return {TaggedNumber(text, L"L="), TaggedNumber(text, L"T="), TaggedNumber(text, L"W="), TaggedNumber(text, L"H="),
            TaggedNumber(text, L"S=")};
}

}  // namespace qs::text
