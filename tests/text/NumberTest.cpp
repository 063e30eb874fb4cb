// Number reading and writing: the classic Val rules, booleans, rounding and number text.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/Error.h"
#include "text/Number.h"
#include "text/Variant.h"

using namespace qs;
using namespace qs::text;

namespace {

int32_t ErrorNumberOf(auto&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

TEST(Val, ReadsTheNumberAtTheStartAndStopsAtTheFirstForeignCharacter) {
    EXPECT_EQ(Val(L"1500"), 1500);
    EXPECT_EQ(Val(L"1500.5"), 1500.5);
    EXPECT_EQ(Val(L"-300;T=0"), -300);
    EXPECT_EQ(Val(L"+7"), 7);
    EXPECT_EQ(Val(L".5"), 0.5);
    EXPECT_EQ(Val(L"12.5.6"), 12.5);
    EXPECT_EQ(Val(L"1,5"), 1);
    EXPECT_EQ(Val(L"2e3"), 2000);
    EXPECT_EQ(Val(L"2D-1"), 0.2);
    EXPECT_EQ(Val(L"1e"), 1);
    EXPECT_EQ(Val(L"1e+"), 1);
    EXPECT_EQ(Val(L"abc"), 0);
}

TEST(Val, SkipsBlanksTabsAndLineFeedsEverywhere) {
    EXPECT_EQ(Val(L"   42"), 42);
    EXPECT_EQ(Val(L" 1 615 198th Street"), 1615198);
    EXPECT_EQ(Val(L"\t- 3\n5"), -35);
    EXPECT_EQ(Val(L"      "), 0);
    EXPECT_EQ(Val(L"\r5"), 0) << "a carriage return is not a blank";
}

TEST(Val, RejectsDoubledSignsAndEmptyText) {
    EXPECT_EQ(Val(L""), 0);
    EXPECT_EQ(Val(L"--1"), 0);
    EXPECT_EQ(Val(L"+-1"), 0);
    EXPECT_EQ(Val(L"-"), 0);
    EXPECT_EQ(Val(L"."), 0);
    EXPECT_EQ(Val(L"e5"), 0);
}

TEST(Val, ReadsHexadecimalAndOctalAsSignedWholeNumbers) {
    EXPECT_EQ(Val(L"&HFF"), 255);
    EXPECT_EQ(Val(L"&hff"), 255);
    EXPECT_EQ(Val(L"&H7FFF"), 32767);
    EXPECT_EQ(Val(L"&HFFFF"), -1);
    EXPECT_EQ(Val(L"&H8000"), -32768);
    EXPECT_EQ(Val(L"&H10000"), 65536);
    EXPECT_EQ(Val(L"&HFFFFFFFF"), -1);
    EXPECT_EQ(Val(L"&O17"), 15);
    EXPECT_EQ(Val(L"&H"), 0);
    EXPECT_EQ(Val(L"&"), 0);
    EXPECT_EQ(Val(L"&HG"), 0);
    EXPECT_EQ(ErrorNumberOf([] { Val(L"&H100000000"); }), errOverflow);
}

TEST(Val, OverflowIsAnErrorAndUnderflowReadsAsZero) {
    EXPECT_EQ(ErrorNumberOf([] { Val(L"1e999"); }), errOverflow);
    EXPECT_EQ(ErrorNumberOf([] { Val(L"-1e999"); }), errOverflow);
    EXPECT_EQ(ErrorNumberOf([] { Val(L"1e99999999999999999999"); }), errOverflow);
    EXPECT_EQ(Val(L"1e-999"), 0);
    EXPECT_EQ(Val(L"0.000e999"), 0);
    EXPECT_EQ(Val(L"0.001e309"), 1e306);
    EXPECT_EQ(Val(L"1E30"), 1e30);
}

TEST(Val, StopsAtAnEmbeddedZeroAndSurvivesHugeText) {
    EXPECT_EQ(Val(std::wstring(L"12\0" L"34", 5)), 12);
    std::wstring huge(1 << 20, L'1');
    EXPECT_EQ(ErrorNumberOf([&] { Val(huge); }), errOverflow);
    std::wstring blanks(1 << 20, L' ');
    EXPECT_EQ(Val(blanks + L"7"), 7);
    std::wstring zeros = L"0." + std::wstring(1 << 20, L'0') + L"1";
    EXPECT_EQ(Val(zeros), 0);
}

TEST(ToBoolean, AcceptsTrueAndFalseInAnyCaseAndNumbers) {
    EXPECT_TRUE(ToBoolean(L"True"));
    EXPECT_TRUE(ToBoolean(L"TRUE"));
    EXPECT_FALSE(ToBoolean(L"false"));
    EXPECT_FALSE(ToBoolean(L" False "));
    EXPECT_FALSE(ToBoolean(L"0"));
    EXPECT_TRUE(ToBoolean(L"-1"));
    EXPECT_TRUE(ToBoolean(L"1"));
    EXPECT_TRUE(ToBoolean(L"0.5"));
    EXPECT_FALSE(ToBoolean(L"&H0"));
}

TEST(ToBoolean, AnythingElseIsATypeMismatch) {
    for (const wchar_t* text : {L"maybe", L"", L"   ", L"Truex", L"1x", L"1 2", L"--1", L"&H", L"yes"})
        EXPECT_EQ(ErrorNumberOf([&] { ToBoolean(text); }), errTypeMismatch) << text;
    EXPECT_EQ(ErrorNumberOf([] { ToBoolean(std::wstring(L"True\0", 5)); }), errTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { ToBoolean(L"1e999"); }), errOverflow);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(-0.6), -1);
    EXPECT_EQ(RoundHalfEven(2147483647.4), 2147483647);
    EXPECT_EQ(RoundHalfEven(-2147483648.5), -2147483648);
}

TEST(RoundHalfEven, OutOfRangeIsAnOverflow) {
    for (double v : {2147483647.5, -2147483648.51, 1e30, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(ErrorNumberOf([&] { RoundHalfEven(v); }), errOverflow) << v;
}

TEST(SingleToText, WritesTheShortestTextThatReadsBack) {
    EXPECT_EQ(SingleToText(1500.f), L"1500");
    EXPECT_EQ(SingleToText(1500.5f), L"1500.5");
    EXPECT_EQ(SingleToText(-300.f), L"-300");
    EXPECT_EQ(SingleToText(0.f), L"0");
    EXPECT_EQ(SingleToText(-0.f), L"0");
    EXPECT_EQ(SingleToText(0.25f), L"0.25");
    EXPECT_EQ(SingleToText(0.1f), L"0.1");
    EXPECT_EQ(SingleToText(16777216.f), L"16777216");
    EXPECT_EQ(SingleToText(1e20f), L"1E+20");
    EXPECT_EQ(SingleToText(1.5e-7f), L"1.5E-07");
    EXPECT_EQ(SingleToText(0.00001f), L"0.00001");
    EXPECT_EQ(SingleToText(std::numeric_limits<float>::max()), L"3.4028235E+38");
}

TEST(SingleToText, EveryValueReadsBackThroughVal) {
    for (float v : {1.f / 3, 123456.78f, -0.000123f, 7e-30f, 9.99e14f, 1e15f, 65535.5f, 1e-45f}) {
        std::wstring t = SingleToText(v);
        EXPECT_EQ(static_cast<float>(Val(t)), v) << std::string(t.begin(), t.end());
    }
    EXPECT_EQ(ErrorNumberOf([] { SingleToText(std::numeric_limits<float>::infinity()); }), errOverflow);
    EXPECT_EQ(ErrorNumberOf([] { SingleToText(std::numeric_limits<float>::quiet_NaN()); }), errOverflow);
}

TEST(Format00, GivesAtLeastTwoDigits) {
    EXPECT_EQ(Format00(0), L"00");
    EXPECT_EQ(Format00(1), L"01");
    EXPECT_EQ(Format00(99), L"99");
    EXPECT_EQ(Format00(100), L"100");
    EXPECT_EQ(Format00(-1), L"-01");
    EXPECT_EQ(Format00(std::numeric_limits<int32_t>::min()), L"-2147483648");
}

}  // namespace

namespace {

TEST(ToLong, ConvertsWholeNumberTextsAndRejectsTheRest) {
    EXPECT_EQ(ToLong(L"14002"), 14002);
    EXPECT_EQ(ToLong(L" 1411 "), 1411);
    EXPECT_EQ(ToLong(L"2.5"), 2);
    EXPECT_EQ(ToLong(L"-3.5"), -4);
    EXPECT_EQ(ToLong(L"&H10"), 16);
    for (const wchar_t* text : {L"abc", L"", L"12abc", L"1 2"})
        EXPECT_EQ(ErrorNumberOf([&] { ToLong(text); }), errTypeMismatch) << text;
    EXPECT_EQ(ErrorNumberOf([] { ToLong(L"2147483648"); }), errOverflow);
}

}  // namespace

namespace {

TEST(VariantText, ConvertsEveryKindTheClassicWay) {
    EXPECT_EQ(VariantText(Variant()), L"");
    EXPECT_EQ(VariantText(Variant(int16_t{-7})), L"-7");
    EXPECT_EQ(VariantText(Variant(1.25)), L"1.25");
    EXPECT_EQ(VariantText(Variant(true)), L"True");
    EXPECT_EQ(VariantText(Variant(false)), L"False");
    EXPECT_EQ(ErrorNumberOf([] { VariantText(Variant(ByteArray{1, 2})); }), errTypeMismatch);
    EXPECT_EQ(VariantLong(Variant(true)), -1);
    EXPECT_EQ(VariantLong(Variant(2.5)), 2);
    EXPECT_EQ(VariantLong(Variant(std::wstring(L" 42 "))), 42);
    EXPECT_EQ(ErrorNumberOf([] { VariantLong(Variant(std::wstring(L"x"))); }), errTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { VariantLong(Variant(ByteArray{})); }), errTypeMismatch);
    EXPECT_EQ(VarType(Variant(ByteArray{})), 8209);
    EXPECT_EQ(SingleToText(1500.5f, L','), L"1500,5");
}

}  // namespace
