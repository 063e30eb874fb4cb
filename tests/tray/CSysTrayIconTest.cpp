// The tray icon component in-process: its record's tip and the mouse message. What the
// icon does for the shell's notifications is seen end to end; the program always gives it
// its owner and its icon before showing it.
#include <gtest/gtest.h>

#include "Support.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Screen.h"
#include "tray/CSysTrayIcon.h"

using namespace qs;

namespace {

TEST(SysTrayIcon, TheRecordIsTheFirstAnsiVersionWithAFittedTip) {
    char field[64];
    for (auto [tip, bytes] : {std::pair{std::wstring(63, L'a'), std::string(63, 'a') + '\0'},
                              {std::wstring(70, L'b'), std::string(63, 'b') + '\0'},  // cut to 63 and the terminator
                              {std::wstring(L"Gr\u00FC\u00DFe"), std::string("Gr\xFC\xDF" "e\0 ", 7)}}) {  // ANSI, then blanks
        CSysTrayIcon::FitTip(field, tip);
        EXPECT_EQ(std::string(field, bytes.size()), bytes);
    }
}

// The notification's x coordinate, in the owner's unit, is the mouse message: converted
// back to pixels and rounded to the nearest, halves to even.
TEST(SysTrayIcon, TheMouseMessageIsTheCoordinateInPixelsRoundedHalfToEven) {
    toolkit::Form form(test::DemoDesign());
    form.Load();
    CSysTrayIcon tray;
    tray.Init(&form);  // no menu: every message is only reported
    std::vector<int32_t> reported;
    tray.IconEvent.Subscribe([&](int32_t message) { reported.push_back(message); });
    for (float pixels : {515.7f, 516.5f}) form.MouseMove.Raise(0, 0, form.ScaleX(pixels, toolkit::vbPixels, form.ScaleMode), 0.f);
    EXPECT_EQ(reported, (std::vector<int32_t>{516, 516}));
}

}  // namespace
