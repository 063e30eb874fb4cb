// The error report file as written: bytes, code page, line ends, and the failures that
// abandon it while the message still shows.
#include <gtest/gtest.h>

#include <iostream>
#include <regex>

#include "Support.h"
#include "errors/Frames.h"
#include "text/Ansi.h"
#include "text/Number.h"
#include "base/App.h"

using namespace qs;
using qs::test::HandlerTest;
using qs::test::ReadBytes;

namespace {

class LogError : public HandlerTest {};

std::string CurrentDirectoryAnsi() {
    char dir[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

// The report's layout is checked natively (ErrorReportTest); here what only the running
// program adds: the ANSI code page, the line ends, the facts it fills in.
TEST_F(LogError, TheReportIsInTheAnsiCodePageWithTheProgramsFacts) {
    int32_t line = 0;
    framed(L"frmConfigure.LoadData", [&] {
        line = __LINE__ + 1;
        Raise(75, L"x", L"Zugriff verweigert: Gr\u00FC\u00DFe");
    });
    std::string bytes = ReadBytes(report);
    for (std::string expected :
         std::vector<std::string>{"\r\nError String   : Zugriff verweigert: Gr\xFC\xDF" "e\r\n", "\r\nError Line     : " + std::to_string(line) + "\r\n",
          "\r\nCurrent Directory: " + CurrentDirectoryAnsi() + "\r\n", "\r\nApp Path: " + text::ToAnsi(App::Path()) + "\r\n",
          "\r\nApp CompanyName: Brom\r\n", "\r\n01  frmConfigure.LoadData\r\n"})
        EXPECT_NE(bytes.find(expected), std::string::npos) << expected << " in\n" << bytes;
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "lines end with CR LF";
    EXPECT_TRUE(std::regex_search(bytes, std::regex("\r\nCurrent Time   : [^\r\n]+\r\n")));
}

TEST_F(LogError, TheFileHoldsOnlyTheLastReport) {
    framed(L"modTest.First", [] { RaiseRuntime(errOverflow); });
    framed(L"modTest.Second", [] { Raise(1234, L"x", std::wstring(300, L'd')); });
    std::string bytes = ReadBytes(report);
    EXPECT_EQ(bytes.find("modTest.First"), std::string::npos);
    EXPECT_NE(bytes.find("Error String   : " + std::string(255, 'd') + "\r\n"), std::string::npos);
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_NE(notices.boxes[1].prompt.find(std::wstring(300, L'd')), std::wstring::npos)
        << "the message shows the whole description";
}

TEST_F(LogError, WithoutExpandedInfoTheReportEndsAfterTheStack) {
    gErrHandler->IncludeExpandedInfo(false);
    framed(L"modTest.Short", [] { RaiseRuntime(errOverflow); });
    std::string bytes = ReadBytes(report);
    EXPECT_TRUE(bytes.ends_with("---------------\r\n01  modTest.Short\r\n\r\n")) << bytes;
}

TEST_F(LogError, UnwritableDestinationsAbandonTheReportButTheMessageShows) {
    std::wstring missingFolder = folder.File(L"BROM\\VULD\\errorlog.txt");
    std::wstring readOnly = folder.File(L"readonly.txt");
    test::WriteBytes(readOnly, "kept");
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    // Wine running as root cannot keep a file from being written; then that case is void.
    HANDLE probe = ::CreateFileW(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool readOnlyEnforced = probe == INVALID_HANDLE_VALUE;
    if (!readOnlyEnforced) ::CloseHandle(probe);
    std::wstring aFolder = folder.File(L"afolder");
    std::filesystem::create_directory(aFolder);

    for (const auto& destination : {missingFolder, readOnly, aFolder}) {
        gErrHandler->Destination(Variant(destination));
        notices.boxes.clear();
        framed(L"modTest.Unwritable", [] { RaiseRuntime(errOverflow); });
        EXPECT_EQ(notices.boxes.size(), 1u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File(L"BROM"))) << "the handler never creates the folder";
    if (readOnlyEnforced)
        EXPECT_EQ(ReadBytes(readOnly), "kept");
    else
        std::cout << "[ NOTE     ] read-only files are writable here; that case was not checked\n";
    EXPECT_TRUE(std::filesystem::is_directory(aFolder));
}

}  // namespace
