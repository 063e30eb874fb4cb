// Special-folder lookup through the shell's ANSI folder function.
#include "startup/modShellFileDisk.h"

#include <windows.h>
#include <shlobj.h>

#include "base/Frames.h"
#include "text/Ansi.h"

namespace qs::modShellFileDisk {

namespace {
constexpr int32_t kAppData = 0x1A;  // CSIDL_APPDATA
}

std::wstring GetShellAppdataLocation(intptr_t lngHwnd) {
    std::wstring result;
    criticalBox(L"Vuld.modShellFileDisk.GetShellAppdataLocation",
                [&] { result = GetFolderPath(lngHwnd, kAppData, 0); });
    return result;
}

std::wstring GetFolderPath(intptr_t lngHwnd, int32_t lngFolder, int32_t lngFlags) {
    std::wstring result;
    criticalBox(L"Vuld.modShellFileDisk.GetFolderPath", [&] {
        std::string buffer(MAX_PATH, ' ');
        // No access token: the folder of the user running the program, who can write there.
        HRESULT r = ::SHGetFolderPathA(reinterpret_cast<HWND>(lngHwnd), lngFolder, nullptr,
                                       static_cast<DWORD>(lngFlags), buffer.data());
        if (r == S_OK) result = TrimNull(text::FromAnsi(buffer));
    });
    return result;
}

std::wstring TrimNull(const std::wstring& strText) {
    std::wstring result;
    criticalBox(L"Vuld.modShellFileDisk.TrimNull", [&] { result = strText.substr(0, strText.find(L'\0')); });
    return result;
}

}  // namespace qs::modShellFileDisk
