// The text conversions, one table of inputs and results per function. A result of the
// form Fails{n} is the run-time error the conversion must raise.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "text/Ansi.h"
#include "text/Number.h"
#include "text/Placement.h"

using namespace qs;
using namespace qs::text;

namespace {

struct Fails {
    int32_t number;
};
constexpr Fails kOverflow{ConversionError::kOverflow}, kTypeMismatch{ConversionError::kTypeMismatch};

// Checks one row: the call gives `expected`, or raises the error it names.
template <class Call, class Expected>
void Row(Call call, Expected expected, const std::string& what) {
    try {
        auto result = call();
        if constexpr (std::is_same_v<Expected, Fails>) ADD_FAILURE() << what << ": no error " << expected.number;
        else EXPECT_EQ(result, expected) << what;
    } catch (const ConversionError& e) {
        if constexpr (std::is_same_v<Expected, Fails>) EXPECT_EQ(e.number(), expected.number) << what;
        else ADD_FAILURE() << what << ": error " << e.number();
    }
}
std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(Text, Val) {
    struct {
        std::wstring text;
        double value;
    } values[] = {
        {L"1500.5", 1500.5}, {L"-300;T=0", -300}, {L"+7", 7}, {L".5", 0.5}, {L"12.5.6", 12.5}, {L"1,5", 1},
        {L"2e3", 2000}, {L"2D-1", 0.2}, {L"1e+", 1}, {L"abc", 0}, {L"", 0}, {L"+-1", 0}, {L"\r5", 0},
        {L" 1 615 198th Street", 1615198}, {L"\t- 3\n5", -35}, {L"&hff", 255}, {L"&H8000", -32768}, {L"&H10000", 65536},
        {L"&HFFFFFFFF", -1}, {L"&O17", 15}, {L"&HG", 0}, {L"1e-999", 0}, {L"0.000e999", 0}, {L"0.001e309", 1e306},
        {std::wstring(L"12\0" L"34", 5), 12},
    };
    for (auto& [text, value] : values) Row([text = text] { return Val(text); }, value, Narrow(text));
    for (std::wstring text : {L"&H100000000", L"-1e999", L"1e99999999999999999999"})
        Row([text = text] { return Val(text); }, kOverflow, Narrow(text));
    Row([] { return Val(std::wstring(1 << 20, L'1')); }, kOverflow, "a million digits");
}

TEST(Text, ToBooleanAndToLong) {
    for (auto [text, value] : {std::pair{L"TRUE", true}, {L" False ", false}, {L"0", false}, {L"-1", true},
                               {L"0.5", true}, {L"&H0", false}})
        Row([text = text] { return ToBoolean(text); }, value, Narrow(text));
    for (std::wstring text : {L"maybe", L"", L"Truex", L"1 2", L"&H"})
        Row([text = text] { return ToBoolean(text); }, kTypeMismatch, Narrow(text));
    Row([] { return ToBoolean(std::wstring(L"True\0", 5)); }, kTypeMismatch, "True and a zero");
    Row([] { return ToBoolean(L"1e999"); }, kOverflow, "1e999");

    for (auto [text, value] : {std::pair{L" 1411 ", 1411}, {L"-3.5", -4}, {L"&H10", 16}})
        Row([text = text] { return ToLong(text); }, value, Narrow(text));
    for (std::wstring text : {L"", L"12abc", L"1 2"})
        Row([text = text] { return ToLong(text); }, kTypeMismatch, Narrow(text));
    Row([] { return ToLong(L"2147483648"); }, kOverflow, "2147483648");
}

TEST(Text, RoundHalfEven) {
    for (auto [value, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {-0.6, -1},
                                  {2147483647.4, 2147483647}, {-2147483648.5, -2147483647 - 1}})
        Row([value = value] { return RoundHalfEven(value); }, rounded, std::to_string(value));
    for (double v : {2147483647.5, -2147483648.51, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()})
        Row([v = v] { return RoundHalfEven(v); }, kOverflow, std::to_string(v));
}

TEST(Text, SingleToTextIsTheShortestTextThatReadsBack) {
    // Whole numbers, halves and their signs are the placement text's rows.
    for (auto [value, text] : {std::pair{-0.f, L"0"}, {0.25f, L"0.25"}, {0.1f, L"0.1"}, {16777216.f, L"16777216"},
                               {1e20f, L"1E+20"}, {1.5e-7f, L"1.5E-07"}, {0.00001f, L"0.00001"},
                               {std::numeric_limits<float>::max(), L"3.4028235E+38"}})
        Row([value = value] { return SingleToText(value); }, std::wstring(text), std::to_string(value));
    for (float v : {1.f / 3, 123456.78f, -0.000123f, 7e-30f, 9.99e14f, 1e15f, 65535.5f, 1e-45f})
        EXPECT_EQ(static_cast<float>(Val(SingleToText(v))), v);
    for (float v : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()})
        Row([v = v] { return SingleToText(v); }, kOverflow, std::to_string(v));
}

// The two-digit numbers of the report's stack are seen end to end; the text of a
// variant, which the program only ever builds from text, RegistryTest's.

// English and German systems use Windows-1252, which the native build implements and
// Wine's default prefix uses.
TEST(Text, Ansi) {
    EXPECT_EQ(ToAnsi(L"Gr\u00FC\u00DFe \u20AC"), "Gr\xFC\xDF" "e \x80");
    EXPECT_EQ(FromAnsi("Gr\xFC\xDF" "e \x80"), L"Gr\u00FC\u00DFe \u20AC");
    EXPECT_EQ(ToAnsi(L"a\u4E2Db\u0416"), "a?b?") << "what the code page lacks becomes ?";
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}

TEST(Text, PlacementTextAndItsReading) {
    EXPECT_EQ(PlacementText(-300, 1500.5f, 1, 2, 2), L"L=-300;T=1500.5;W=1;H=2;S=2;");
    EXPECT_EQ(PlacementText(1500.5f, 0, 0, 0, 0, L','), L"L=1500,5;T=0;W=0;H=0;S=0;");
    auto read = [](std::wstring_view text) {
        Placement p = ReadPlacement(text);
        return std::vector<int32_t>{p.left, p.top, p.width, p.height, p.state};
    };
    using V = std::vector<int32_t>;
    for (auto [text, numbers] : {std::pair{L"L=1500;T=1200;W=4800;H=2700;S=0;", V{1500, 1200, 4800, 2700, 0}},
                                 {L"S=2;H= 2700;W=4800;T=-300;L=1500.5;", V{1500, -300, 4800, 2700, 2}},  // halves to even
                                 {L"L=1501.5;T=1200,7;W=&H10;S=1e3", V{1502, 1200, 16, 0, 1000}},
                                 {L"l=1500;t=1200;LL=7", V{7, 0, 0, 0, 0}}, {L"", V{0, 0, 0, 0, 0}}})
        Row([&read, text = text] { return read(text); }, numbers, Narrow(text));
    // A number too large for a window's place is the placement store's bad text.
}

}  // namespace
