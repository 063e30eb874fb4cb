// The application-data folder lookup.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "Support.h"
#include "startup/modShellFileDisk.h"

using namespace qs;

namespace {

TEST(ShellFolder, AShellFailureGivesEmptyTextWithoutAMessage) {
    qs::test::NoticeRecorder notices;
    EXPECT_EQ(modShellFileDisk::GetFolderPath(0, 0x7F, 0), L"");
    EXPECT_TRUE(notices.boxes.empty());
}

TEST(ShellFolder, TrimNullKeepsWhatStandsBeforeTheFirstZero) {
    EXPECT_EQ(modShellFileDisk::TrimNull(std::wstring(L"C:\\Data\0   \0x", 13)), L"C:\\Data");
    EXPECT_EQ(modShellFileDisk::TrimNull(L"no zero"), L"no zero");
    EXPECT_EQ(modShellFileDisk::TrimNull(std::wstring(L"\0abc", 4)), L"");
}

}  // namespace
