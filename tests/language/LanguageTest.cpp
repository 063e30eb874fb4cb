// Captions from the resource components, found through the test executable's manifest
// with nothing registered.
#include <gtest/gtest.h>

#include <windows.h>

#include "Support.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmConfigure.h"
#include "language/modLanguage.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Form.h"
#include "toolkit/Icons.h"

using namespace qs;
using qs::toolkit::Form;

namespace {

const qs::test::ComApartment kApartment;

class Language : public test::HandlerTest {
protected:
    void SetUp() override {
        HandlerTest::SetUp();
        modLanguage::ResetResources();
    }
    void TearDown() override {
        modLanguage::ResetResources();
        HandlerTest::TearDown();
    }
};

TEST_F(Language, EnglishTextsReplaceTheDesignTextsWhereIdsStand) {
    modLanguage::InitLanguage(1033);
    Form form(test::DemoDesign());
    form.Load();
    modLanguage::LoadFormResources(form);

    EXPECT_EQ(form.Caption(), L"Configure Quorset");
    EXPECT_EQ(form(L"mnuPopupShowToolbar").Caption(), L"&Show Toolbar");
    EXPECT_EQ(form(L"mnuPopupLaunchItem", 2).Caption(), L"VuldIDE");
    // Untouched: separators, blank and number-less menu captions, a label without a Tag,
    // and kinds whose caption no Tag names.
    EXPECT_EQ(form(L"mnuPopupBar1").Caption(), L"-");
    EXPECT_EQ(form(L"mnuPopupBlank").Caption(), L"   ");
    EXPECT_EQ(form(L"mnuPopupPlain").Caption(), L"Popup");
    EXPECT_EQ(form(L"lblNote").Caption(), L"Design-time note");
    EXPECT_EQ(form(L"tabTab").Caption(), L"");
    EXPECT_EQ(form(L"imgLogo").Caption(), L"");
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(gErrHandler->Depth(), 0);
}

TEST_F(Language, ATagThatIsNoNumberEndsTheWalkThere) {
    auto design = test::DemoDesign();
    for (auto& c : design.controls)
        if (c.name == L"cmdClose") c.tag = L"abc";
    modLanguage::InitLanguage(1031);
    Form form(design);
    form.Load();
    modLanguage::LoadFormResources(form);

    EXPECT_EQ(form(L"cmdOK").Caption(), L"OK") << "controls before it have their texts";
    EXPECT_EQ(form(L"cmdApply").Caption(), L"&Apply") << "controls after it keep the design";
    EXPECT_EQ(form(L"mnuPopupShowToolbar").Caption(), L"1401 Show Toolbar");
    EXPECT_EQ(form.Caption(), L"Configure Quorset") << "the title comes last";
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(gErrHandler->ErrorNumber(), 13);
    EXPECT_EQ(gErrHandler->ErrorProc(), L"modLanguage.LoadFormResources");
}

TEST_F(Language, TheLauncherIconIsAPictureWhoseHandleIsAnIcon) {
    modLanguage::InitLanguage(1033);
    auto picture = modLanguage::GetResPicture(1401, 1);
    EXPECT_EQ(toolkit::IconWidth(modLanguage::PictureHandle(*picture.get())), ::GetSystemMetrics(SM_CXICON));
}

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
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
