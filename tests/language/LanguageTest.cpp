// Captions from the resource components, found through the test executable's manifest
// with nothing registered.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "Support.h"
#include "language/modLanguage.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Form.h"

using namespace qs;
using qs::toolkit::Form;

namespace {

struct Apartment {
    Apartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
} gApartment;

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
    EXPECT_EQ(form(L"chkAutoHide").Caption(), L"Automatically &hide the toolbar when it loses focus");
    EXPECT_EQ(form(L"cmdClose").Caption(), L"&Close");
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

    wchar_t text[128];
    ::GetWindowTextW(form(L"chkAutoHide").hwnd(), text, 128);
    EXPECT_STREQ(text, L"Automatically &hide the toolbar when it loses focus") << "the window shows it";
}

TEST_F(Language, GermanTextsComeFromTheGermanComponent) {
    modLanguage::InitLanguage(1031);
    Form form(test::DemoDesign());
    form.Load();
    modLanguage::LoadFormResources(form);
    EXPECT_EQ(form.Caption(), L"Quorset konfigurieren");
    EXPECT_EQ(form(L"cmdClose").Caption(), L"&Schlie\u00DFen");
    EXPECT_EQ(form(L"cmdApply").Caption(), L"\u00DC&bernehmen");
    EXPECT_EQ(form(L"mnuPopupUnload").Caption(), L"Quorset &beenden");
    EXPECT_EQ(modLanguage::GetResString(14001), L"Version");
}

TEST_F(Language, AMissingLocaleComponentLeavesTheChoiceAsItWas) {
    modLanguage::InitLanguage(1036);
    EXPECT_EQ(modLanguage::GetResString(103), L"&Close") << "the default component serves";
    modLanguage::ResetResources();
    modLanguage::InitLanguage(1031);
    modLanguage::InitLanguage(1036);
    EXPECT_EQ(modLanguage::GetResString(103), L"&Schlie\u00DFen");
    EXPECT_TRUE(notices.boxes.empty()) << "a missing component is silent";
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
    HICON icon = modLanguage::PictureHandle(*picture.get());
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(SM_CXICON));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST_F(Language, TheActiveLocaleIsTheUsersDefault) {
    EXPECT_EQ(modLanguage::GetActiveLocaleID(), static_cast<int32_t>(::GetUserDefaultLCID()));
    EXPECT_EQ(gErrHandler->Depth(), 0);
}

// Run by the test below in a copy of this program that stands alone in its folder.
TEST_F(Language, WithoutAnyComponentTheWalkFailsAndDesignTextsStay) {
    wchar_t role[8] = L"";
    if (!::GetEnvironmentVariableW(L"QUORSET_ALONE", role, 8)) GTEST_SKIP() << "runs in the lone copy";
    modLanguage::InitLanguage();
    Form form(test::DemoDesign());
    form.Load();
    modLanguage::LoadFormResources(form);
    EXPECT_EQ(form(L"chkAutoHide").Caption(), L"Automatically &hide the toolbar when it looses focus");
    EXPECT_EQ(form(L"mnuPopupShowToolbar").Caption(), L"1401 Show Toolbar");
    EXPECT_EQ(form.Caption(), L"Configure Quorset");
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(gErrHandler->ErrorNumber(), 429);
    EXPECT_EQ(gErrHandler->ErrorString(), L"ActiveX component can't create object");
    std::ofstream(std::filesystem::path(App::Path()) / "ran") << "ran";
}

TEST(LanguageAlone, ACopyWithoutComponentsReportsTheFailedCreation) {
    test::ScratchFolder folder;
    std::wstring copy = folder.File(L"test_language.exe");
    ASSERT_TRUE(::CopyFileW((App::Path() + L"\\test_language.exe").c_str(), copy.c_str(), FALSE));
    std::wstring command = L"\"" + copy + L"\" --gtest_filter=Language.WithoutAnyComponent*";
    ::SetEnvironmentVariableW(L"QUORSET_ALONE", L"1");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    folder.Path().c_str(), &startup, &process);
    ::SetEnvironmentVariableW(L"QUORSET_ALONE", nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 100000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "ran")) << "the lone copy ran its test";
}

}  // namespace
