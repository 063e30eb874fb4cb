// Launching through the shell: the default verb of a file, or of a web address.
#include <windows.h>
#include <shellapi.h>

#include "vuldsub/VuldSub.h"

namespace vuldsub {
namespace {

bool Execute(HWND owner, const std::wstring& target, const std::wstring& parameters, const std::wstring& folder,
             int showCommand, DWORD& lastError) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error dialog of the shell's own: the caller tells the user.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpFile = target.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = showCommand;
    if (::ShellExecuteExW(&info)) return true;
    lastError = ::GetLastError();
    return false;
}

}  // namespace

int32_t ShellLauncher::LaunchFile(intptr_t lngHwnd, const std::wstring& strFile, const std::wstring& strParameters,
                                  const std::wstring& strFolder, int32_t lngShowCmd) {
    // A missing file fails here rather than in a shell dialog.
    if (::GetFileAttributesW(strFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        lastError_ = ::GetLastError();
        return 0;
    }
    return Execute(reinterpret_cast<HWND>(lngHwnd), strFile, strParameters, strFolder, lngShowCmd, lastError_) ? -1
                                                                                                                 : 0;
}

int32_t ShellLauncher::LaunchAddress(intptr_t lngHwnd, const std::wstring& strAddress, int32_t lngShowCmd) {
    return Execute(reinterpret_cast<HWND>(lngHwnd), strAddress, L"", L"", lngShowCmd, lastError_) ? -1 : 0;
}

}  // namespace vuldsub
