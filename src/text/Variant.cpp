// Conversions of variant values.
#include "text/Variant.h"

#include "text/Number.h"

namespace qs {

int VarType(const Variant& value) {
    // In the alternatives' order.
    static constexpr int kTypes[] = {0, 2, 3, 4, 5, 8, 11, 0x2000 | 17};
    return kTypes[value.index()];
}

namespace text {

std::wstring VariantText(const Variant& value) {
    struct Visitor {
        std::wstring operator()(std::monostate) const { return L""; }
        std::wstring operator()(int16_t v) const { return NumberText(v); }
        std::wstring operator()(int32_t v) const { return NumberText(v); }
        std::wstring operator()(float v) const { return SingleToText(v); }
        std::wstring operator()(double v) const { return DoubleToText(v); }
        std::wstring operator()(const std::wstring& v) const { return v; }
        std::wstring operator()(bool v) const { return v ? L"True" : L"False"; }
        std::wstring operator()(const ByteArray&) const { throw ConversionError(ConversionError::kTypeMismatch); }
    };
    return std::visit(Visitor{}, value);
}

int32_t VariantLong(const Variant& value) {
    struct Visitor {
        int32_t operator()(std::monostate) const { return 0; }
        int32_t operator()(int16_t v) const { return v; }
        int32_t operator()(int32_t v) const { return v; }
        int32_t operator()(float v) const { return RoundHalfEven(v); }
        int32_t operator()(double v) const { return RoundHalfEven(v); }
        int32_t operator()(const std::wstring& v) const { return text::ToLong(std::wstring_view(v)); }
        int32_t operator()(bool v) const { return v ? -1 : 0; }
        int32_t operator()(const ByteArray&) const { throw ConversionError(ConversionError::kTypeMismatch); }
    };
    return std::visit(Visitor{}, value);
}

}  // namespace text
}  // namespace qs
