// The path helpers and the silent-start test of the command line.
#include <gtest/gtest.h>

#include "Support.h"
#include "startup/modStartup.h"
#include "base/modSupport.h"
#include "base/App.h"

using namespace qs;

namespace {

class Startup : public test::HandlerTest {};

TEST(AddFinalSlash, AddsExactlyOneBackslash) {
    EXPECT_EQ(modSupport::AddFinalSlash(L"C:\\"), L"C:\\");
    EXPECT_EQ(modSupport::AddFinalSlash(L"C:\\Tools"), L"C:\\Tools\\");
    EXPECT_EQ(modSupport::AddFinalSlash(L""), L"\\");
    EXPECT_EQ(modSupport::AddFinalSlash(L"C:\\Tools/"), L"C:\\Tools/\\");
}

TEST(AppPath, IsTheProgramsFolderWithOneTrailingBackslash) {
    std::wstring path = modSupport::AppPath();
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.back(), L'\\');
    EXPECT_NE(path[path.size() - 2], L'\\');
    EXPECT_EQ(path, App::Path() + L"\\");
    EXPECT_TRUE(std::filesystem::exists(path + App::EXEName() + L".exe"));
}

TEST(CommandLine, ArgumentsFollowTheProgramsName) {
    using App::ArgumentsOf;
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Quorset.exe\" /S"), L"/S");
    EXPECT_EQ(ArgumentsOf(L"Quorset.exe   -x /Silent"), L"-x /Silent");
    EXPECT_EQ(ArgumentsOf(L"Quorset.exe"), L"");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Quorset.exe\""), L"");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\unterminated /S"), L"");
}

TEST(CommandLine, SilentStartIsACaseSensitiveSubstringTest) {
    using modStartup::IsSilentStart;
    EXPECT_FALSE(IsSilentStart(L""));
    EXPECT_TRUE(IsSilentStart(L"/S"));
    EXPECT_FALSE(IsSilentStart(L"/s"));
    EXPECT_TRUE(IsSilentStart(L"abc/Sxyz"));
    EXPECT_TRUE(IsSilentStart(L"-x /Silent"));
}

TEST_F(Startup, CheckCommandLineReadsThisProcesssArgumentsInItsFrame) {
    EXPECT_EQ(modStartup::CheckCommandLine(), App::CommandLine().find(L"/S") != std::wstring::npos);
    EXPECT_EQ(gErrHandler->Depth(), 0);
    EXPECT_TRUE(notices.boxes.empty());
}

TEST(AppFacts, ComeFromTheVersionResource) {
    EXPECT_EQ(App::Title(), L"Quorset");
    EXPECT_EQ(App::ProductName(), L"Quorset");
    EXPECT_EQ(App::CompanyName(), L"Brom");
    EXPECT_EQ(App::Major(), 1);
    EXPECT_EQ(App::Minor(), 0);
    EXPECT_EQ(App::Revision(), 0);
    EXPECT_NE(App::LegalCopyright().find(L"Brom"), std::wstring::npos);
}

}  // namespace
