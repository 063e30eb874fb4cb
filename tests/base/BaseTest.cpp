// What every layer uses: the program's folder and the local error frames that replace or
// swallow a failure. The frames' message boxes are seen through their callers.
#include <gtest/gtest.h>

#include "Support.h"
#include "base/Frames.h"
#include "base/modSupport.h"

using namespace qs;

namespace {

class LocalFrames : public test::HandlerTest {};

// The program's own folder is seen end to end: the toolbar's programs start there and the
// "Run" entry names the program in it.
TEST(AppPath, AFinalBackslashIsAddedOnlyWhereMissing) {
    for (auto [path, slashed] : {std::pair{L"C:\\", L"C:\\"}, {L"C:\\Tools", L"C:\\Tools\\"}, {L"", L"\\"}})
        EXPECT_EQ(modSupport::AddFinalSlash(path), slashed);
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
