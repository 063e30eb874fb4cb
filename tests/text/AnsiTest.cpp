// The program's text in the ANSI code page and back (English and German systems use
// Windows-1252, which the native build implements and Wine's default prefix uses).
#include <gtest/gtest.h>

#include "text/Ansi.h"

using namespace qs::text;

TEST(Ansi, ConvertsCodePageCharactersBothWays) {
    EXPECT_EQ(ToAnsi(L"Gr\u00FC\u00DFe \u20AC"), "Gr\xFC\xDF" "e \x80");
    EXPECT_EQ(FromAnsi("Gr\xFC\xDF" "e \x80"), L"Gr\u00FC\u00DFe \u20AC");
    EXPECT_EQ(ToAnsi(L""), "");
    EXPECT_EQ(FromAnsi(""), L"");
}

TEST(Ansi, UnrepresentableCharactersBecomeTheDefaultCharacter) {
    EXPECT_EQ(ToAnsi(L"a\u4E2Db\u0416"), "a?b?");
}

TEST(Ansi, KeepsEmbeddedZeros) {
    std::wstring text(L"a\0b", 3);
    EXPECT_EQ(ToAnsi(text), std::string("a\0b", 3));
    EXPECT_EQ(FromAnsi(std::string("a\0b", 3)), text);
}

TEST(Ansi, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
}
