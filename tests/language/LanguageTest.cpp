// The dialogs' texts from every resource component, found through the test executable's
// manifest with nothing registered, fit their controls. Which text replaces which design
// text is seen end to end: the dialogs' titles and labels in every language, the tray
// menu chosen by its texts' access keys.
#include <gtest/gtest.h>

#include <windows.h>

#include "Support.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmConfigure.h"
#include "language/modLanguage.h"
#include "toolkit/Form.h"

using namespace qs;

namespace {

const qs::test::ComApartment kApartment;

class Language : public test::HandlerTest {};

// What a control's text needs, in pixels: a button's or check box's width by the common
// controls' own measure, a label's words wrapped to its width, the end of a tab's caption.
SIZE Needs(toolkit::Control& control) {
    HWND window = control.hwnd();
    RECT r{};
    SIZE ideal{};
    if (control.Kind() == toolkit::ControlKind::TabStrip) return TabCtrl_GetItemRect(window, 0, &r), SIZE{r.right, 0};
    if (control.Kind() != toolkit::ControlKind::Label) return Button_GetIdealSize(window, &ideal), SIZE{ideal.cx, 0};
    ::GetClientRect(window, &r);
    HDC dc = ::GetDC(window);
    ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, control.Caption().c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
    ::ReleaseDC(window, dc);
    return {r.right, r.bottom};
}

TEST_F(Language, EveryLocalesTextsFitTheDialogsAt96And144DotsPerInch) {
    using toolkit::ControlKind;
    for (int32_t locale : {QUORSET_LOCALES}) {
        modLanguage::ResetResources();
        modLanguage::InitLanguage(locale);
        frmConfigure configure;
        frmAbout about;
        for (toolkit::Form* form : {static_cast<toolkit::Form*>(&configure), static_cast<toolkit::Form*>(&about)}) {
            form->Load();
            for (UINT dpi : {96u, 144u}) {
                RECT place{};  // the controls follow the dots per inch, whatever the window's size
                ::GetWindowRect(form->hwnd(), &place);
                ::SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
                ASSERT_EQ(form->Dpi(), static_cast<int>(dpi));
                for (auto& control : form->Controls()) {
                    ControlKind kind = control->Kind();
                    if ((kind != ControlKind::Label && kind != ControlKind::CheckBox &&
                         kind != ControlKind::CommandButton && kind != ControlKind::TabStrip) ||
                        (control->Caption().empty() && kind != ControlKind::TabStrip))
                        continue;
                    SIZE need = Needs(*control);
                    RECT has{};
                    ::GetClientRect(control->hwnd(), &has);
                    EXPECT_TRUE(need.cx <= has.right && need.cy <= has.bottom)
                        << locale << " at " << dpi << " dpi: " << control->Name() << " needs " << need.cx << " x "
                        << need.cy << " pixels, has " << has.right << " x " << has.bottom;
                }
            }
            form->Unload();
        }
    }
    modLanguage::ResetResources();
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
