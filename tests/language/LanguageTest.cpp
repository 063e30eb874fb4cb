// Captions from the resource components, found through the test executable's manifest
// with nothing registered.
#include <gtest/gtest.h>

#include <windows.h>

#include "Support.h"
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

}  // namespace
