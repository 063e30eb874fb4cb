// What every layer uses: the program's facts and folder, the previous-instance test,
// the error value's conversions and the local error frames.
#include <gtest/gtest.h>

#include "Support.h"
#include "base/App.h"
#include "base/Frames.h"
#include "base/modSupport.h"
#include "text/Number.h"

using namespace qs;

namespace {

std::wstring N(int64_t v) { return text::NumberText(v); }

class LocalFrames : public test::HandlerTest {};

TEST(AppPath, IsTheProgramsFolderWithOneTrailingBackslash) {
    for (auto [path, slashed] : {std::pair{L"C:\\", L"C:\\"}, {L"C:\\Tools", L"C:\\Tools\\"}, {L"", L"\\"},
                                 {L"C:\\Tools/", L"C:\\Tools/\\"}})
        EXPECT_EQ(modSupport::AddFinalSlash(path), slashed);
    EXPECT_EQ(modSupport::AppPath(), App::Path() + L"\\");
    EXPECT_TRUE(std::filesystem::exists(modSupport::AppPath() + App::EXEName() + L".exe"));
}

TEST_F(LocalFrames, LocalFramesShowTheirBoxesExactly) {
    int32_t line = 0;
    criticalBox(L"Quorset.CFormPos.Class_Initialize", [&] {
        line = __LINE__ + 1;
        RaiseRuntime(errInvalidProcedureCall);
    });
    shortBox(L"CenterForm", [] { Raise(-2147024891, L"x", L"Access is denied."); });
    EXPECT_EQ(notices.boxes, (test::Boxes{{L"An error has occured in Quorset.CFormPos.Class_Initialize \r\n\r\nError:5\r\n"
                                           L"Description:Invalid procedure call or argument\r\nLine:" + N(line),
                                           L"Quorset", test::kCritical},
                                          {L"Error: -2147024891. Access is denied.", L"CenterForm", MB_OK}}));
    EXPECT_EQ(notices.beeps, 0) << "local frames do not beep";
}

TEST_F(LocalFrames, ComponentRaiseReplacesTheErrorAndIgnoringGoesOn) {
    ErrorInfo raised = test::Raised(
        [] { componentRaise(vbObjectError + 1001, L"Quorset.CSysTrayIcon", L"Icon failed", [] { RaiseRuntime(5); }); });
    EXPECT_EQ(raised.number, vbObjectError + 1001);
    EXPECT_EQ(raised.source, L"Quorset.CSysTrayIcon");
    EXPECT_EQ(raised.description, L"Icon failed");
    ignoring([] { RaiseRuntime(5); });
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
