// What every layer uses: the local error frames that replace or swallow a failure. Their
// message boxes are seen through their callers; the program's own folder end to end (the
// toolbar's programs start there and the "Run" entry names the program in it).
#include <gtest/gtest.h>

#include "Support.h"
#include "base/Frames.h"

using namespace qs;

namespace {

class LocalFrames : public test::HandlerTest {};

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
