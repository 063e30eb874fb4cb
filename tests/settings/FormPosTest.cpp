// The window placement store with a real window: the saved text, exact restores, the
// keep-on-screen rule, states, and the bad placements users can leave behind.
#include <gtest/gtest.h>

#include "Support.h"
#include "settings/CFormPos.h"
#include "settings/RegistryHelpers.h"
#include "toolkit/DemoForm.h"
#include "toolkit/Screen.h"

using namespace qs;
using namespace qs::test;
using toolkit::Screen::TwipsPerPixelX;

namespace {

class FormPos : public ::testing::Test {
protected:
    void SetUp() override {
        ClearProgramKeys();
        form.Load();
        position.Form(&form);
    }
    void TearDown() override { ClearProgramKeys(); }
    void Save(const std::string& text) { PlantBytes(kPositionsKey, L"frmDemo", REG_SZ, text + '\0'); }
    void ExpectAt(float left, float top, float width, float height) {
        float tpp = TwipsPerPixelX();
        EXPECT_NEAR(form.Left(), left, tpp);
        EXPECT_NEAR(form.Top(), top, tpp);
        EXPECT_NEAR(form.Width(), width, tpp);
        EXPECT_NEAR(form.Height(), height, tpp);
    }

    NoticeRecorder notices;
    toolkit::Form form{DemoDesign()};
    CFormPos position;
};

TEST_F(FormPos, SavesTheOuterRectangleInTwips) {
    form.Move(1500, 1200, 4800, 2700);
    position.SaveForm();
    Stored stored = ReadBack(kPositionsKey, L"frmDemo");
    EXPECT_EQ(stored.type, DWORD{REG_SZ});
    EXPECT_EQ(stored.bytes, std::string("L=1500;T=1200;W=4800;H=2700;S=0;\0", 33));
    EXPECT_EQ(CFormPos::PlacementText(-300, 1500.5f, 1, 2, 2), L"L=-300;T=1500.5;W=1;H=2;S=2;");
}

TEST_F(FormPos, RestoresExactlyTheSavedPlacement) {
    Save("L=1500;T=1200;W=4800;H=2700;S=0;");
    EXPECT_TRUE(position.RestoreForm(true));
    ExpectAt(1500, 1200, 4800, 2700);
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(FormPos, KeepsARestoredWindowOnTheScreen) {
    float screenWidth = toolkit::Screen::Width(), screenHeight = toolkit::Screen::Height();
    Save("L=" + std::to_string(static_cast<int>(screenWidth)) + ";T=-300;W=4800;H=2700;S=0;");
    EXPECT_TRUE(position.RestoreForm(true));
    ExpectAt(screenWidth - 4800, 0, 4800, 2700);

    Save("L=600;T=" + std::to_string(static_cast<int>(screenHeight) + 15) + ";W=4800;H=2700;S=0;");
    EXPECT_TRUE(position.RestoreForm(true));
    ExpectAt(600, screenHeight - 2700, 4800, 2700);

    Save("L=600;T=-300;W=4800;H=2700;S=0;");
    EXPECT_TRUE(position.RestoreForm(false));
    ExpectAt(600, -300, 4800, 2700);
}

TEST_F(FormPos, StatesOneAndTwoApplyOnlyTheStateAndOthersMoveTheWindow) {
    form.Show();
    Save("L=1500;T=1200;W=4800;H=2700;S=2;");
    EXPECT_TRUE(position.RestoreForm(true));
    EXPECT_EQ(form.WindowState(), 2);
    form.WindowState(0);

    Save("L=1500;T=1200;W=4800;H=2700;S=5;");
    EXPECT_TRUE(position.RestoreForm(true));
    EXPECT_EQ(form.WindowState(), 0);
    ExpectAt(1500, 1200, 4800, 2700);
}

TEST_F(FormPos, ReadsTagsInAnyOrderWithBlanksAndRoundsHalvesToEven) {
    Save("S=0;H= 2700;W=4800;T=1200;L=1500.5;");
    EXPECT_TRUE(position.RestoreForm(true));
    ExpectAt(1500, 1200, 4800, 2700);
    Save("L=1501.5;T=1200,7;W=4800;H=2700;S=0;");
    EXPECT_TRUE(position.RestoreForm(true));
    ExpectAt(1502, 1200, 4800, 2700);
}

TEST_F(FormPos, LowerCaseOrMissingTagsReadAsZero) {
    form.Move(3000, 3000, 4800, 2700);
    Save("l=1500;t=1200;W=4800;H=2700;");
    EXPECT_TRUE(position.RestoreForm(true));
    EXPECT_NEAR(form.Left(), 0, TwipsPerPixelX());
    EXPECT_NEAR(form.Top(), 0, TwipsPerPixelX());
}

TEST_F(FormPos, NothingSavedLeavesTheWindowAndTheRegistryAlone) {
    form.Move(900, 900, 4800, 2700);
    EXPECT_FALSE(position.RestoreForm(true));
    ExpectAt(900, 900, 4800, 2700);
    EXPECT_FALSE(KeyExists(kProgramKey));

    int32_t number = 1500;
    Plant(kPositionsKey, L"frmDemo", REG_DWORD, &number, 4);
    EXPECT_FALSE(position.RestoreForm(true)) << "a value of another type";
    Save("");
    EXPECT_FALSE(position.RestoreForm(true)) << "an empty value";
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(FormPos, AnOverflowingNumberShowsTheBoxAndRestoresNothing) {
    form.Move(900, 900, 4800, 2700);
    Save("L=1e30;T=0;W=4800;H=2700;S=0;");
    EXPECT_FALSE(position.RestoreForm(true));
    ExpectAt(900, 900, 4800, 2700);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].title, L"RestoreForm");
    EXPECT_EQ(notices.boxes[0].prompt, L"Error: 6. Overflow");
}

TEST_F(FormPos, CentresTheWindowOnThePrimaryScreen) {
    form.Move(0, 0, 4800, 2700);
    position.CenterForm();
    ExpectAt((toolkit::Screen::Width() - 4800) / 2, (toolkit::Screen::Height() - 2700) / 2, 4800, 2700);
}

TEST_F(FormPos, WithoutAFormEveryOperationShowsItsBox) {
    CFormPos unset;
    unset.CenterForm();
    EXPECT_FALSE(unset.RestoreForm(true));
    unset.SaveForm();
    ASSERT_EQ(notices.boxes.size(), 3u);
    EXPECT_EQ(notices.boxes[0].title, L"CenterForm");
    EXPECT_EQ(notices.boxes[1].title, L"RestoreForm");
    EXPECT_EQ(notices.boxes[2].title, L"SaveForm");
    EXPECT_EQ(notices.boxes[0].prompt, L"Error: 91. Object variable or With block variable not set");
    EXPECT_EQ(unset.RegistryPath(), L"SOFTWARE\\Brom\\Quorset");
    EXPECT_EQ(unset.SubKey(), L"Positions");
    EXPECT_EQ(unset.RootKey(), static_cast<int32_t>(0x80000001));
}

}  // namespace
