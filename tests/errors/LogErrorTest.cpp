// The error report file as written: bytes, code page, line ends, and a destination that
// cannot be written. The layout is ErrorReportTest's; the stack and the program's path as
// written are seen end to end, and the line as the message shows it in ErrHandlerTest.
#include <gtest/gtest.h>

#include <regex>

#include "Support.h"
#include "errors/Frames.h"

using namespace qs;
using qs::test::ReadBytes;

namespace {

class LogError : public test::HandlerTest {};

TEST_F(LogError, TheReportIsTheLastErrorsInTheAnsiCodePageWithTheProgramsFacts) {
    framed(L"modTest.First", [] { RaiseRuntime(errOverflow); });
    framed(L"frmConfigure.LoadData",
           [] { Raise(75, L"x", L"Zugriff verweigert: Gr\u00FC\u00DFe" + std::wstring(300, L'd')); });
    std::string bytes = ReadBytes(report);
    char directory[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, directory);
    for (const std::string& line : {"Error String   : Zugriff verweigert: Gr\xFC\xDF" "e" + std::string(255 - 25, 'd'),
                                    "Current Directory: " + std::string(directory)})
        EXPECT_NE(bytes.find("\r\n" + line + "\r\n"), std::string::npos) << line << " in\n" << bytes;
    EXPECT_EQ(bytes.find("modTest.First"), std::string::npos) << "only the last report";
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "lines end with CR LF";
    EXPECT_TRUE(std::regex_search(bytes, std::regex("\r\nCurrent Time   : [^\r\n]+\r\n")));
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_NE(notices.boxes[1].prompt.find(std::wstring(300, L'd')), std::wstring::npos) << "the message shows it all";
}

// A report whose folder is missing is abandoned; the message still shows.
TEST_F(LogError, AReportThatCannotBeWrittenIsAbandonedButTheMessageShows) {
    gErrHandler->Destination(Variant(folder.File(L"BROM\\VULD\\errorlog.txt")));
    framed(L"modTest.Unwritable", [] { RaiseRuntime(errOverflow); });
    EXPECT_EQ(notices.boxes.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.File(L"BROM"))) << "the handler never creates the folder";
}

}  // namespace
