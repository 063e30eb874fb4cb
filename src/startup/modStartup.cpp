// Start-up: the program's first procedure and its command line.
#include "startup/modStartup.h"

#include <windows.h>

#include "errors/CErrHandler.h"
#include "errors/CrashDump.h"
#include "errors/Frames.h"
#include "errors/MExceptionHandler.h"
#include "language/modLanguage.h"
#include "launcher/frmLaunch.h"
#include "startup/modShellFileDisk.h"
#include "base/modSupport.h"
#include "base/App.h"
#include "base/StartMarks.h"
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
    ignoring([] { CrashDump::Writer(modSupport::AddFinalSlash(App::Path()) + App::EXEName() + L".exe"); });
    QS_START_MARK("error handler ready");

    framed(L"modStartup.Main", [] {
        MExceptionHandler::InstallExceptionFilter();
        if (App::PrevInstance()) ::ExitProcess(0);
        QS_START_MARK("first instance");
        modLanguage::InitLanguage();
        QS_START_MARK("language component");
        gLaunch = std::make_unique<frmLaunch>();
        gLaunch->Load();
        QS_START_MARK("launcher loaded");
        if (!CheckCommandLine()) gLaunch->Show();
        QS_START_MARK("launcher shown");
    });
}

bool CheckCommandLine() {
    bool result = false;
    framed(L"modStartup.CheckCommandLine", [&] { result = text::IsSilentStart(App::CommandLine()); });
    return result;
}

}  // namespace qs::modStartup
