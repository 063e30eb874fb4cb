// Looks up the shell's special folders.
#pragma once

#include <cstdint>
#include <string>

namespace qs::modShellFileDisk {

// The current user's application-data folder without a trailing backslash, or "" when
// the shell cannot say.
std::wstring GetShellAppdataLocation(intptr_t lngHwnd);

// The path of the special folder `lngFolder` (a CSIDL), or "" when the shell fails.
std::wstring GetFolderPath(intptr_t lngHwnd, int32_t lngFolder, int32_t lngFlags);

// The characters before the first zero character.
std::wstring TrimNull(const std::wstring& strText);

}  // namespace qs::modShellFileDisk
