// A small program for the launch tests. With a file name as first argument it writes its
// working folder and the other arguments into that file; without arguments it leaves
// "<its own name>.started" in its working folder.
#include <windows.h>

#include <fstream>
#include <string>

int wmain(int argc, wchar_t** argv) {
    wchar_t folder[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    if (argc < 2) {
        std::wstring self = argv[0];
        self = self.substr(self.find_last_of(L"\\/") + 1);
        self = self.substr(0, self.find_last_of(L'.'));
        std::wofstream((std::wstring(folder) + L"\\" + self + L".started").c_str()) << folder;
        return 0;
    }
    std::wofstream out(argv[1]);
    out << folder << L"\n";
    for (int i = 2; i < argc; ++i) out << argv[i] << L"\n";
    return 0;
}
