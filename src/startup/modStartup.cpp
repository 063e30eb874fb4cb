// Start-up: the command-line test.
#include "startup/modStartup.h"

#include "errors/Frames.h"
#include "toolkit/App.h"

namespace qs::modStartup {

bool IsSilentStart(const std::wstring& arguments) { return arguments.find(L"/S") != std::wstring::npos; }

bool CheckCommandLine() {
    bool result = false;
    framed(L"modStartup.CheckCommandLine", [&] { result = IsSilentStart(toolkit::App::CommandLine()); });
    return result;
}

}  // namespace qs::modStartup
