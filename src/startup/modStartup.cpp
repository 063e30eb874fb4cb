// Start-up: the program's first procedure and its command line.
#include "startup/modStartup.h"

#include <windows.h>

#include "errors/CErrHandler.h"
#include "errors/Frames.h"
#include "errors/MExceptionHandler.h"
#include "language/modLanguage.h"
#include "launcher/frmLaunch.h"
#include "startup/modShellFileDisk.h"
#include "base/modSupport.h"
#include "base/App.h"
#include "text/CommandLine.h"

namespace qs::modStartup {

void Main() {
    // Until the handler is ready nothing could report a failure: skip what fails.
    ignoring([] { gErrHandler = std::make_unique<CErrHandler>(); });
    ignoring([] { gErrHandler->AppTitle(App::Title()); });
    ignoring([] {
        std::wstring folder = modSupport::AddFinalSlash(modShellFileDisk::GetShellAppdataLocation(0));
        gErrHandler->Destination(Variant(folder + L"BROM\\VULD\\errorlog.txt"));
    });
    ignoring([] { gErrHandler->IncludeExpandedInfo(true); });

    framed(L"modStartup.Main", [] {
        MExceptionHandler::InstallExceptionFilter();
        if (App::PrevInstance()) ::ExitProcess(0);
        modLanguage::InitLanguage();
        gLaunch = std::make_unique<frmLaunch>();
        gLaunch->Load();
        if (!CheckCommandLine()) gLaunch->Show();
    });
}

bool CheckCommandLine() {
    bool result = false;
    framed(L"modStartup.CheckCommandLine", [&] { result = text::IsSilentStart(App::CommandLine()); });
    return result;
}

}  // namespace qs::modStartup
