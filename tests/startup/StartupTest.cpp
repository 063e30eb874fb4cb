// The path helpers and the silent-start test of the command line.
#include <gtest/gtest.h>

#include "Support.h"
#include "startup/modStartup.h"
#include "base/modSupport.h"
#include "base/App.h"

using namespace qs;

namespace {

class Startup : public test::HandlerTest {};

TEST_F(Startup, CheckCommandLineReadsThisProcesssArgumentsInItsFrame) {
    EXPECT_EQ(modStartup::CheckCommandLine(), App::CommandLine().find(L"/S") != std::wstring::npos);
    EXPECT_EQ(gErrHandler->Depth(), 0);
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
