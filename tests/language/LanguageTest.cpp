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

// Whether a control's text fits it: a button or check box needs no more than its width
// (the common controls' own measure of what its text needs), a label's words wrap within
// its height, a tab's caption ends inside the strip.
::testing::AssertionResult Fits(toolkit::Control& control) {
    HWND window = control.hwnd();
    std::wstring text = control.Caption();
    RECT client{};
    ::GetClientRect(window, &client);
    SIZE need{};
    if (control.Kind() == toolkit::ControlKind::TabStrip) {
        RECT tab{};
        TabCtrl_GetItemRect(window, 0, &tab);
        need = {tab.right, 0};
    } else if (control.Kind() == toolkit::ControlKind::Label) {
        HDC dc = ::GetDC(window);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
        RECT r{0, 0, client.right, 0};
        ::DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
        ::SelectObject(dc, old);
        ::ReleaseDC(window, dc);
        need = {r.right, r.bottom};
    } else {
        Button_GetIdealSize(window, &need);
        need.cy = 0;
    }
    if (need.cx <= client.right && need.cy <= client.bottom) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "needs " << need.cx << " x " << need.cy << " pixels, has " << client.right
                                         << " x " << client.bottom;
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
                RECT place{};  // where the system would put it: the size follows the dots per inch
                ::GetWindowRect(form->hwnd(), &place);
                place.right = place.left + ::MulDiv(place.right - place.left, static_cast<int>(dpi), form->Dpi());
                place.bottom = place.top + ::MulDiv(place.bottom - place.top, static_cast<int>(dpi), form->Dpi());
                ::SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
                ASSERT_EQ(form->Dpi(), static_cast<int>(dpi));
                for (auto& control : form->Controls()) {
                    ControlKind kind = control->Kind();
                    if (control->Caption().empty() && kind != ControlKind::TabStrip) continue;
                    if (kind == ControlKind::Label || kind == ControlKind::CheckBox ||
                        kind == ControlKind::CommandButton || kind == ControlKind::TabStrip)
                        EXPECT_TRUE(Fits(*control)) << locale << " at " << dpi << " dpi: " << control->Name();
                }
            }
            form->Unload();
        }
    }
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
