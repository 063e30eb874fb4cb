// The program's entry point: start-up, then the message loop until the launcher window
// is unloaded.
#include <windows.h>
#include <objbase.h>

#include "launcher/frmLaunch.h"
#include "startup/modStartup.h"
#include "toolkit/Form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Libraries come only from the system and the program's own folder.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    qs::modStartup::Main();
    qs::toolkit::RunMessageLoop();
    qs::gLaunch.reset();
    ::CoUninitialize();
    return 0;
}
