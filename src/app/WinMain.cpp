// The program's entry point: start-up, then the message loop until the launcher window
// is unloaded.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "base/Frames.h"
#include "base/StartMarks.h"
#include "errors/CrashDump.h"
#include "language/modLanguage.h"
#include "launcher/frmLaunch.h"
#include "startup/modStartup.h"
#include "toolkit/Form.h"

// What runs if an exception ever left the program's frames (none does: every callback
// catches at its edge). The C++ library's own handler would print the exception's type
// name on a console the program does not have, and its name demangler is a tenth of the
// executable; ending at once is what is left to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}

namespace {

// COM's lifetime, owned by the entry point's stack. Every COM object of the program is
// released before the apartment ends: the last uninitialize frees the in-process
// servers' DLLs, and a Release after it would call into unmapped code.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        qs::reported([] { qs::gLaunch.reset(); });
        qs::modLanguage::ResetResources();
        if (initialized_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    // Libraries loaded from here on by name alone come from the system folder only, never
    // from the program's folder, which may be Downloads with anything beside the program.
    // The resource components are found through the manifest's file entries, which name
    // them in the program's folder, so they load all the same.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Started by a crashing copy to write its dump: nothing of the program runs, and it
    // is no second instance.
    if (qs::CrashDump::Served(arguments)) return 0;
    QS_START_MARK("entry point");
    {
        ComApartment com;
        QS_START_MARK("COM apartment");
        qs::modStartup::Main();
        qs::toolkit::RunMessageLoop();
    }
    return 0;  // the program has no exit code of its own
}
