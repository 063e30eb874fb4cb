// The application-data folder lookup.
#include <gtest/gtest.h>

#include "Support.h"
#include "startup/modShellFileDisk.h"

using namespace qs;

namespace {

TEST(ShellFolder, AShellFailureGivesEmptyTextWithoutAMessage) {
    qs::test::NoticeRecorder notices;
    EXPECT_EQ(modShellFileDisk::GetFolderPath(0, 0x7F, 0), L"");
    EXPECT_TRUE(notices.boxes.empty());
}

}  // namespace
