// The window placement store with a real window: exact restores, the keep-on-screen rule,
// states, and the bad placements users can leave behind. The saved text and the first
// start's centring are checked end to end.
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

class FormPos : public WithoutProgramKeys {
protected:
    void SetUp() override {
        WithoutProgramKeys::SetUp();
        form.Load();
        position.Form(&form);
    }
    NoticeRecorder notices;
    toolkit::Form form{DemoDesign()};
    CFormPos position;
};

// What a stored placement text restores: the rectangle in twips (left, top, width,
// height; the window stands at 900, 900, 4800, 2700 before), or nothing and which box. How
// the text itself reads is the text conversions' table; the states 1 and 2 (minimised and
// maximised), restored at the next start, are seen end to end.
TEST_F(FormPos, EveryStoredTextRestoresWhatItSaysOrNothing) {
    const int right = static_cast<int>(toolkit::Screen::Width()), bottom = static_cast<int>(toolkit::Screen::Height());
    const struct {
        std::string text;
        bool restored;
        RECT expected;  // left, top, width, height
        std::wstring box;
    } rows[] = {
        {"L=1500;T=1200;W=4800;H=2700;S=0;", true, {1500, 1200, 4800, 2700}, L""},
        {"L=1500;T=1200;W=4800;H=2700;S=5;", true, {1500, 1200, 4800, 2700}, L""},  // another state: the window moves
        {"L=" + std::to_string(right) + ";T=-300;W=4800;H=2700;S=0;", true, {right - 4800, 0, 4800, 2700}, L""},
        {"L=600;T=" + std::to_string(bottom) + ";W=4800;H=2700;S=0;", true, {600, bottom - 2700, 4800, 2700}, L""},
        // Partly off the screen, its corner on it: left as it is.
        {"L=" + std::to_string(right - 1500) + ";T=" + std::to_string(bottom - 1500) + ";W=4800;H=2700;S=0;", true,
         {right - 1500, bottom - 1500, 4800, 2700}, L""},
        {"", false, {900, 900, 4800, 2700}, L""},
        {"L=1e30;T=0;W=4800;H=2700;S=0;", false, {900, 900, 4800, 2700}, L"Error: 6. Overflow"},
    };
    const float tpp = TwipsPerPixelX();
    for (const auto& row : rows) {
        form.Move(900, 900, 4800, 2700);
        notices.boxes.clear();
        PlantBytes(kPositionsKey, L"frmDemo", REG_SZ, row.text + '\0');
        EXPECT_EQ(position.RestoreForm(true), row.restored) << row.text;
        EXPECT_NEAR(form.Left(), row.expected.left, tpp) << row.text;
        EXPECT_NEAR(form.Top(), row.expected.top, tpp) << row.text;
        EXPECT_NEAR(form.Width(), row.expected.right, tpp) << row.text;
        EXPECT_NEAR(form.Height(), row.expected.bottom, tpp) << row.text;
        EXPECT_EQ(form.WindowState(), 0) << row.text;
        EXPECT_EQ(notices.boxes.empty() ? L"" : notices.boxes[0].prompt, row.box) << row.text;
    }
    int32_t number = 1500;
    Plant(kPositionsKey, L"frmDemo", REG_DWORD, &number, 4);
    EXPECT_FALSE(position.RestoreForm(true)) << "a value of another type";
    ClearProgramKeys();
    EXPECT_FALSE(position.RestoreForm(true)) << "nothing saved";
    EXPECT_FALSE(KeyExists(kProgramKey)) << "reading creates no key";
}

}  // namespace
