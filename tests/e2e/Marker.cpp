// A small program for the launch tests: it leaves "<its own name>.started" in its working
// folder.
#include <windows.h>

#include <fstream>
#include <string>

int wmain(int, wchar_t** argv) {
    wchar_t folder[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring self = argv[0];
    self = self.substr(self.find_last_of(L"\\/") + 1);
    self = self.substr(0, self.find_last_of(L'.'));
    std::wofstream((std::wstring(folder) + L"\\" + self + L".started").c_str()) << folder;
    return 0;
}
