// A small program for the launch tests: writes its working folder and arguments into
// the file named by its first argument.
#include <windows.h>

#include <fstream>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    wchar_t folder[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    std::wofstream out(argv[1]);
    out << folder << L"\n";
    for (int i = 2; i < argc; ++i) out << argv[i] << L"\n";
    return 0;
}
