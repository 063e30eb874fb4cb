// The error report file as written: the last error only, in the code page, and a
// destination that cannot be written. Every line of a report, with its line ends, is seen
// end to end; the line as the message shows it in ErrHandlerTest.
#include <gtest/gtest.h>

#include "Support.h"
#include "errors/Frames.h"

using namespace qs;
using qs::test::ReadBytes;

namespace {

class LogError : public test::HandlerTest {};

TEST_F(LogError, TheReportIsTheLastErrorsInTheAnsiCodePageItsTextCutTo255Characters) {
    framed(L"modTest.First", [] { RaiseRuntime(errOverflow); });
    framed(L"frmConfigure.LoadData",
           [] { Raise(75, L"x", L"Zugriff verweigert: Gr\u00FC\u00DFe" + std::wstring(300, L'd')); });
    std::string bytes = ReadBytes(report);
    EXPECT_NE(bytes.find("\r\nError String   : Zugriff verweigert: Gr\xFC\xDF" "e" + std::string(255 - 25, 'd') + "\r\n"),
              std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("modTest.First"), std::string::npos) << "only the last report";
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
